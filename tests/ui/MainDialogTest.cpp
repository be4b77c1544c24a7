// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/qt/MainDialog.h"
#include "EventLoop.h"
#include "PresetAnswers.h"
#include "fs/PosixFileSystem.h"
#include "support/ScopedEnv.h"
#include "sync/SyncWorker.h"
#include "ui/qt/DialogUnits.h"
#include "ui/qt/PairList.h"
#include "ui/qt/StatusLine.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>

namespace kestrova {
namespace {

namespace fs = std::filesystem;

template <class Predicate> bool PumpUntil(Predicate done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

void WriteFile(const fs::path& path, const std::string& contents) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << contents;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The real port, except that each file copy waits for a permit from the test (or for
// a stop) before it starts, so the test can look at the window in the middle of a run.
class GatedFileSystem : public PosixFileSystem {
public:
    CopyOutcome copy(FolderHandle from, FolderHandle to, const char* name, EntryKind kind,
                     const std::atomic<bool>& stop) override {
        {
            std::unique_lock lock(m_mutex);
            ++m_waiting;
            while (m_permits == 0 && (!stop.load() || holdAfterStop)) {
                m_changed.wait_for(lock, std::chrono::milliseconds(1));
            }
            --m_waiting;
            if (m_permits > 0) {
                --m_permits;
            }
        }
        return PosixFileSystem::copy(from, to, name, kind, stop);
    }

    void permit() {
        std::lock_guard lock(m_mutex);
        ++m_permits;
        m_changed.notify_all();
    }
    bool copyWaiting() {
        std::lock_guard lock(m_mutex);
        return m_waiting > 0;
    }

    // A stopped copy also waits for a permit: the stopped worker stays alive till then.
    std::atomic<bool> holdAfterStop = false;

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_permits = 0;
    int m_waiting = 0;
};

// Saving fails as on a full disk: every write of the new file's contents.
class FullDisk : public SaveFileSystem {
public:
    long write(int, const char*, std::size_t) override { return -ENOSPC; }
};

class MainDialogTest : public ::testing::Test {
protected:
    static std::string MadeFolder(const fs::path& path) {
        fs::create_directories(path);
        return path.string();
    }
    std::unique_ptr<MainDialog> open(SaveFileSystem& saving) {
        auto dialog = std::make_unique<MainDialog>(messages, files(), saving);
        messages.setMainWindow(dialog.get());
        dialog->setRunFileSystem(&gate);
        dialog->show();
        return dialog;
    }
    std::unique_ptr<MainDialog> open() { return open(realSaving); }

    MainDialogFiles files() const {
        return {(root / "Kestrova.ini").string(), (root / "dirlist.cfg").string()};
    }
    QPushButton* button(MainDialog& dialog, int id) { return dialog.controlAs<QPushButton>(id); }
    // The deleted-list option in the report pane's menu.
    QAction* listDeleted(MainDialog& dialog) { return dialog.findChild<QAction*>("listDeleted"); }
    // The pane's text as Select All and Copy give it.
    QString report(MainDialog& dialog) {
        QApplication::clipboard()->clear();
        QWidget* pane = dialog.control(1010);
        QKeyEvent selectAll(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
        QApplication::sendEvent(pane, &selectAll);
        QKeyEvent copy(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier);
        QApplication::sendEvent(pane, &copy);
        return QApplication::clipboard()->text();
    }
    // Start, Preview and the three options go together; Stop goes the other way.
    bool running(MainDialog& dialog) { return controlsShow(dialog, false); }
    bool idle(MainDialog& dialog) { return controlsShow(dialog, true); }
    bool controlsShow(MainDialog& dialog, bool idle) {
        for (const int id : {1007, 1021, 1009, 1022}) {
            if (dialog.control(id)->isEnabled() != idle) {
                return false;
            }
        }
        return listDeleted(dialog)->isEnabled() == idle &&
               dialog.control(1008)->isEnabled() != idle;
    }
    bool boxShown(const char* text) {
        for (const auto& box : answers.shown) {
            if (box.text == QString::fromUtf8(text)) {
                return true;
            }
        }
        return false;
    }
    void pressKey(QWidget* target, int key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(target, &release);
    }

    QTemporaryDir temp;
    fs::path root{temp.path().toStdString()};
    // A run that uses the trash puts files in the home folder's: the test's own.
    test::ScopedEnv home{"HOME", MadeFolder(root / "home").c_str()};
    test::ScopedEnv dataHome{"XDG_DATA_HOME", nullptr};
    test::PresetAnswers answers;
    MessageBoxRoutine messages{answers};
    SaveFileSystem realSaving;
    GatedFileSystem gate;
};

TEST_F(MainDialogTest, OpensIdleWithTheOptionSetAndAnEmptyList) {
    auto dialog = open();
    EXPECT_EQ(dialog->windowTitle(), "Kestrova");
    EXPECT_TRUE(dialog->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(dialog->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(dialog->windowIcon().isNull());
    EXPECT_TRUE(idle(*dialog));
    EXPECT_TRUE(dialog->controlAs<QCheckBox>(1009)->isChecked());
    EXPECT_EQ(dialog->controlAs<QLabel>(1004)->text(), "...");
    EXPECT_EQ(dialog->focusWidget(), dialog->control(1007));

    PairList& list = dialog->pairList();
    EXPECT_EQ(list.rowCount(), 0);
    const QStringList headers = {list.horizontalHeaderItem(0)->text(),
                                 list.horizontalHeaderItem(1)->text(),
                                 list.horizontalHeaderItem(2)->text()};
    EXPECT_EQ(headers, QStringList({"源目錄", "目標目錄", "狀態"}));
    EXPECT_EQ(list.columnWidth(0), 150);
    EXPECT_EQ(list.columnWidth(1), 150);
    EXPECT_EQ(list.columnWidth(2), 40);
    EXPECT_EQ(list.selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(list.selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_TRUE(list.showGrid());
    EXPECT_FALSE(list.smallImage().isNull());

    // Enlarged, the list and the report pane take the room; the buttons keep their
    // distance from the nearest edges. It never gets smaller than the template.
    const auto place = [&](int id) { return dialog->control(id)->geometry(); };
    const QRect report = place(1010), add = place(1013), about = place(1011), start = place(1007);
    const QSize templateSize = dialog->size();
    dialog->resize(templateSize + QSize(100, 80));
    EXPECT_EQ(list.geometry().size(),
              QSize(DialogToPixels({7, 7, 248, 104}, dialog->baseUnits()).size() + QSize(100, 40)));
    EXPECT_EQ(place(1010), report.translated(0, 40).adjusted(0, 0, 100, 40));
    EXPECT_EQ(place(1013), add.translated(100, 0));
    EXPECT_EQ(place(1011), about.translated(100, 80));
    EXPECT_EQ(place(1007), start.translated(100, 40));
    EXPECT_EQ(list.columnWidth(0) + list.columnWidth(1), 400);
    dialog->resize(10, 10);
    EXPECT_EQ(dialog->size(), templateSize);
    EXPECT_EQ(place(1011), about);
}

TEST_F(MainDialogTest, StartWithAnEmptyListOnlyAsksForPaths) {
    auto dialog = open();
    button(*dialog, 1007)->click();
    ASSERT_EQ(answers.shown.size(), 1u);
    EXPECT_EQ(answers.shown[0].text, "請先設置同步或備份的路徑");
    EXPECT_EQ(answers.shown[0].style, BoxStyle::OkExclamation);
    EXPECT_EQ(answers.shown[0].owner, dialog.get());
    EXPECT_FALSE(SyncWorkerAlive());
    EXPECT_TRUE(idle(*dialog));
}

TEST_F(MainDialogTest, ARunOverTwoPairsShowsEachBlockAsItsPairEnds) {
    WriteFile(root / "s1" / "a.txt", "one");
    WriteFile(root / "s2" / "b.txt", "two");
    // Up to date: the walk passes it while a.txt is still being copied.
    WriteFile(root / "s1" / "same.txt", "same");
    WriteFile(root / "d1" / "same.txt", "same");
    fs::last_write_time(root / "d1" / "same.txt", fs::last_write_time(root / "s1" / "same.txt"));
    fs::create_directories(root / "d2");
    auto dialog = open();
    PairList& list = dialog->pairList();
    list.appendRow((root / "s1").string(), (root / "d1").string());
    list.appendRow((root / "unchecked").string(), (root / "d3").string());
    list.appendRow((root / "s2").string(), (root / "d2").string());
    list.setChecked(0, true);
    list.setChecked(2, true);
    dialog->controlAs<QCheckBox>(1009)->setChecked(false);

    auto* status = dialog->controlAs<QLabel>(1004);
    status->resize(2000, status->height());
    button(*dialog, 1007)->setFocus();
    button(*dialog, 1007)->click();
    ASSERT_TRUE(PumpUntil([&] { return gate.copyWaiting(); }));
    EXPECT_TRUE(running(*dialog));
    EXPECT_EQ(dialog->focusWidget(), dialog->control(1008));
    EXPECT_EQ(list.item(0, 2)->text(), "＃");
    // The status line names the file being copied, not the one the walk reached last.
    const QString copying =
        "已檢查 2，已複製 0，失敗 0　" + QString::fromStdString((root / "s1" / "a.txt").string());
    EXPECT_TRUE(PumpUntil([&] { return status->text() == copying; }))
        << status->text().toStdString();

    const std::string block1 = "從 " + (root / "s1").string() + "\n到 " + (root / "d1").string() +
                               "\n同步過程中沒有錯誤\n更新了以下改動過的文件\n" +
                               (root / "s1" / "a.txt").string() +
                               "\n\n\n---------------------------------\n\n";
    gate.permit();
    ASSERT_TRUE(PumpUntil([&] { return list.item(2, 2)->text() == "＃" && gate.copyWaiting(); }));
    EXPECT_EQ(report(*dialog).toStdString(), block1);
    EXPECT_EQ(list.item(0, 2)->text(), "完成");
    EXPECT_TRUE(running(*dialog));

    gate.permit();
    ASSERT_TRUE(PumpUntil([&] { return boxShown("同步完成﹝"); }));
    const std::string block2 = "從 " + (root / "s2").string() + "\n到 " + (root / "d2").string() +
                               "\n同步過程中沒有錯誤\n更新了以下改動過的文件\n" +
                               (root / "s2" / "b.txt").string() +
                               "\n\n\n---------------------------------\n\n";
    EXPECT_EQ(report(*dialog).toStdString(), block1 + block2);
    EXPECT_TRUE(idle(*dialog));
    EXPECT_EQ(dialog->focusWidget(), dialog->control(1007));
    EXPECT_EQ(status->text(), "已檢查 3，已複製 2，失敗 0　" +
                                  QString::fromStdString((root / "s2" / "b.txt").string()));
    EXPECT_EQ(list.item(2, 2)->text(), "完成");
    EXPECT_EQ(list.item(1, 2)->text(), "");
    EXPECT_EQ(ReadFile(root / "d1" / "a.txt"), "one");
    EXPECT_EQ(ReadFile(root / "d2" / "b.txt"), "two");
    JoinSyncWorker();
}

TEST_F(MainDialogTest, PreviewFillsTheReportAndChangesNothingOnDisk) {
    WriteFile(root / "src" / "new.txt", "new");
    WriteFile(root / "dst" / "gone" / "old.txt", "old");
    auto dialog = open();
    dialog->pairList().appendRow((root / "src").string(), (root / "dst").string());
    dialog->pairList().setChecked(0, true);
    dialog->controlAs<QCheckBox>(1022)->setChecked(true); // a preview trashes nothing either
    dialog->control(1021)->setFocus();
    button(*dialog, 1021)->click();
    ASSERT_TRUE(PumpUntil([&] { return boxShown("預覽完成，沒有改動任何文件"); }));

    const std::string dst = (root / "dst").string();
    EXPECT_EQ(report(*dialog).toStdString(),
              "從 " + (root / "src").string() + "\n到 " + dst +
                  "\n同步過程中沒有錯誤\n將會更新以下文件\n" + (root / "src" / "new.txt").string() +
                  "\n\n將會刪除以下文件和目錄\n" + dst + "/gone/old.txt\n" + dst +
                  "/gone/\n\n\n---------------------------------\n\n");
    EXPECT_FALSE(fs::exists(root / "dst" / "new.txt"));
    EXPECT_EQ(ReadFile(root / "dst" / "gone" / "old.txt"), "old");
    EXPECT_TRUE(idle(*dialog));
    EXPECT_EQ(dialog->focusWidget(), dialog->control(1021));
    EXPECT_EQ(dialog->pairList().item(0, 2)->text(), "完成");

    // Start after a preview is a real run again.
    button(*dialog, 1007)->click();
    ASSERT_TRUE(PumpUntil([&] { return gate.copyWaiting(); }));
    gate.permit();
    ASSERT_TRUE(PumpUntil([&] { return boxShown("同步完成﹝"); }));
    EXPECT_EQ(ReadFile(root / "dst" / "new.txt"), "new");
    EXPECT_FALSE(fs::exists(root / "dst" / "gone"));
    JoinSyncWorker();
}

TEST_F(MainDialogTest, ARunHonoursTheTrashAndDeletedListAndSaysWhyEntriesFailed) {
    fs::create_directories(root / "data");
    test::ScopedEnv::Set("XDG_DATA_HOME", (root / "data").c_str());
    WriteFile(root / "src" / "kept.txt", "new");
    WriteFile(root / "src" / "ro.txt", "new");
    WriteFile(root / "dst" / "kept.txt", "replaced");
    WriteFile(root / "dst" / "ro.txt", "read-only");
    fs::permissions(root / "dst" / "ro.txt", fs::perms::owner_read);
    for (const char* name : {"kept.txt", "ro.txt"}) {
        fs::last_write_time(root / "dst" / name,
                            fs::last_write_time(root / "src" / name) - std::chrono::hours(1));
    }
    WriteFile(root / "dst" / "gone.txt", "gone");
    WriteFile(root / "src2" / "b.txt", "b"); // a second pair, without failures
    fs::create_directories(root / "dst2");
    auto dialog = open();
    dialog->setRunFileSystem(nullptr);
    dialog->pairList().appendRow((root / "src").string(), (root / "dst").string());
    dialog->pairList().appendRow((root / "src2").string(), (root / "dst2").string());
    dialog->pairList().setChecked(0, true);
    dialog->pairList().setChecked(1, true);
    dialog->controlAs<QCheckBox>(1022)->setChecked(true);
    // The deleted list is set from the report pane's menu, below the pane's own Copy
    // and Select All.
    QTimer::singleShot(0, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        QStringList names;
        for (QAction* action : menu->actions()) {
            names << action->objectName();
            if (action->objectName() == "listDeleted") {
                action->trigger();
            }
        }
        EXPECT_EQ(names, QStringList({"edit-copy", "", "select-all", "", "listDeleted"}));
        menu->close();
    });
    emit dialog->control(1010)->customContextMenuRequested({5, 5});
    EXPECT_TRUE(listDeleted(*dialog)->isChecked());
    button(*dialog, 1007)->click();
    ASSERT_TRUE(PumpUntil([&] { return boxShown("同步完成﹝"); }));
    JoinSyncWorker();

    const fs::path trash = root / "data" / "Trash";
    EXPECT_EQ(ReadFile(root / "dst" / "kept.txt"), "new");
    EXPECT_FALSE(fs::exists(root / "dst" / "gone.txt"));
    EXPECT_EQ(ReadFile(trash / "files" / "gone.txt"), "gone");
    EXPECT_EQ(ReadFile(trash / "files" / "kept.txt"), "replaced");
    EXPECT_TRUE(fs::exists(trash / "info" / "gone.txt.trashinfo"));

    // The deleted list after the pair's lists, then why each entry failed, in the block
    // of that pair only.
    const std::string readOnly = (root / "src" / "ro.txt").string();
    const std::string tail = "\n\n刪除了以下文件和目錄\n" + (root / "dst" / "gone.txt").string() +
                             "\n\n以下是失敗的原因\ncannot copy " + readOnly +
                             ": a read-only copy is not replaced\n\n\n"
                             "---------------------------------\n\n";
    const std::string shown = report(*dialog).toStdString();
    const std::size_t second = shown.find("從 " + (root / "src2").string() + "\n");
    ASSERT_NE(second, std::string::npos) << shown;
    EXPECT_TRUE(shown.substr(0, second).ends_with(tail)) << shown;
    EXPECT_EQ(shown.find("以下是失敗的原因", second), std::string::npos) << shown;
    EXPECT_NE(shown.find("以下文件更新失敗，可能正在使用\n" + readOnly + "\n"), std::string::npos);
}

TEST_F(MainDialogTest, StopInTheMiddleOfALargeFileRestoresAtOnceAndLeavesNoPartialFile) {
    WriteFile(root / "src" / "large.bin", std::string(3 * PosixFileSystem::kCopyChunk, 'x'));
    fs::create_directories(root / "dst");
    auto dialog = open();
    PairList& list = dialog->pairList();
    list.appendRow((root / "src").string(), (root / "dst").string());
    list.setChecked(0, true);
    dialog->setReport(SpooledText("earlier report"));

    button(*dialog, 1007)->click();
    ASSERT_TRUE(PumpUntil([&] { return gate.copyWaiting(); }));
    ASSERT_TRUE(running(*dialog));

    // Stop is the only event handled: the controls must be restored by it alone.
    button(*dialog, 1008)->click();
    EXPECT_TRUE(idle(*dialog));
    EXPECT_FALSE(SyncWorkerActive());

    JoinSyncWorker();
    QApplication::processEvents();
    EXPECT_TRUE(idle(*dialog));
    EXPECT_TRUE(fs::is_empty(root / "dst"));
    EXPECT_FALSE(boxShown("同步完成﹝"));
    EXPECT_EQ(list.item(0, 2)->text(), "＃");
    EXPECT_EQ(report(*dialog), "earlier report");

    // Stop with no run under way does nothing.
    button(*dialog, 1008)->click();
    EXPECT_TRUE(idle(*dialog));
}

TEST_F(MainDialogTest, StartWhileAStoppedWorkerCleansUpRunsOnceItHasEnded) {
    WriteFile(root / "src" / "f", "data");
    fs::create_directories(root / "dst");
    auto dialog = open();
    dialog->pairList().appendRow((root / "src").string(), (root / "dst").string());
    dialog->pairList().setChecked(0, true);
    gate.holdAfterStop = true;
    button(*dialog, 1007)->click();
    ASSERT_TRUE(PumpUntil([&] { return gate.copyWaiting(); }));
    button(*dialog, 1008)->click();

    button(*dialog, 1007)->click(); // the stopped worker is still alive
    EXPECT_TRUE(idle(*dialog));
    gate.permit();
    ASSERT_TRUE(PumpUntil([&] { return running(*dialog) && gate.copyWaiting(); }));
    gate.permit();
    ASSERT_TRUE(PumpUntil([&] { return boxShown("同步完成﹝"); }));
    EXPECT_EQ(ReadFile(root / "dst" / "f"), "data");
    JoinSyncWorker();
}

TEST_F(MainDialogTest, NoRunStartsByItselfAfterTheLastStop) {
    WriteFile(root / "src" / "f", "data");
    fs::create_directories(root / "dst");
    auto dialog = open();
    dialog->pairList().appendRow((root / "src").string(), (root / "dst").string());
    dialog->pairList().setChecked(0, true);
    gate.holdAfterStop = true;
    button(*dialog, 1007)->click();
    ASSERT_TRUE(PumpUntil([&] { return gate.copyWaiting(); }));
    button(*dialog, 1008)->click();
    button(*dialog, 1007)->click(); // the stopped worker cleans up: a retry waits
    gate.permit();
    JoinSyncWorker();
    button(*dialog, 1007)->click(); // launches at once
    // Only the run's requests are handled, no timer: the retry is still due.
    while (!running(*dialog)) {
        QCoreApplication::sendPostedEvents();
    }
    button(*dialog, 1008)->click();
    JoinSyncWorker();

    test::processEventsFor(100);
    EXPECT_FALSE(SyncWorkerAlive());
    EXPECT_TRUE(idle(*dialog));
    if (SyncWorkerActive()) { // a run started after all: end it before the gate goes
        button(*dialog, 1008)->click();
        gate.permit();
        JoinSyncWorker();
    }
}

TEST_F(MainDialogTest, CloseIsRefusedDuringARunButWritesTheOption) {
    WriteFile(root / "src" / "f", "data");
    fs::create_directories(root / "dst");
    auto dialog = open();
    PairList& list = dialog->pairList();
    list.appendRow((root / "src").string(), (root / "dst").string());
    list.setChecked(0, true);
    dialog->controlAs<QCheckBox>(1009)->setChecked(false);
    button(*dialog, 1007)->click();
    ASSERT_TRUE(PumpUntil([&] { return gate.copyWaiting(); }));

    EXPECT_FALSE(dialog->close());
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_EQ(answers.shown.size(), 1u);
    EXPECT_EQ(answers.shown[0].text, "同步進行中，請先停止﹝");
    EXPECT_EQ(answers.shown[0].style, BoxStyle::OkExclamation);
    EXPECT_NE(ReadFile(files().settingsFile).find("opt_delnone=0"), std::string::npos);
    EXPECT_FALSE(fs::exists(files().pairListFile));

    // Escape is refused the same way, and writes nothing.
    fs::remove(files().settingsFile);
    pressKey(dialog->control(1010), Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_EQ(answers.shown.size(), 2u);
    EXPECT_EQ(answers.shown[1].text, "同步進行中，請先停止﹝");
    EXPECT_FALSE(fs::exists(files().settingsFile));

    // After Stop the close goes ahead and saves the list.
    button(*dialog, 1008)->click();
    EXPECT_TRUE(dialog->close());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(ReadFile(files().pairListFile),
              (root / "src").string() + "|" + (root / "dst").string() + "\r\n");
}

TEST_F(MainDialogTest, DeleteRemovesTheSelectedRowsAndTheCheckButtonsSetEveryMark) {
    auto dialog = open();
    PairList& list = dialog->pairList();
    for (const char* name : {"r0", "r1", "r2", "r3"}) {
        list.appendRow(name, std::string(name) + "t");
    }
    list.setChecked(3, true);
    button(*dialog, 1014)->click(); // nothing selected: nothing deleted
    EXPECT_EQ(list.rowCount(), 4);

    list.selectRow(1);
    list.selectionModel()->select(list.model()->index(2, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    button(*dialog, 1014)->click();
    ASSERT_EQ(list.rowCount(), 2);
    EXPECT_EQ(list.rowText(0, 0), "r0");
    EXPECT_EQ(list.rowText(1, 0), "r3");
    EXPECT_EQ(list.rowText(1, 1), "r3t");
    EXPECT_EQ(list.checkState(1), PairList::kChecked);

    list.setRowText(0, 2, "完成");
    button(*dialog, 1019)->click();
    EXPECT_EQ(list.checkState(0), PairList::kChecked);
    EXPECT_EQ(list.checkState(1), PairList::kChecked);
    EXPECT_EQ(list.item(0, 2)->text(), "完成");
    button(*dialog, 1020)->click();
    EXPECT_EQ(list.checkState(0), PairList::kUnchecked);
    EXPECT_EQ(list.checkState(1), PairList::kUnchecked);
    EXPECT_EQ(list.checkState(7), PairList::kUnchecked); // no such row
}

TEST_F(MainDialogTest, EnterPressesAFocusedButtonAndNeverClosesTheWindow) {
    auto dialog = open();
    dialog->activateWindow();
    dialog->pairList().setFocus();
    pressKey(&dialog->pairList(), Qt::Key_Return);
    pressKey(dialog->control(1009), Qt::Key_Enter);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(answers.shown.empty());

    dialog->control(1007)->setFocus();
    pressKey(dialog->control(1007), Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_EQ(answers.shown.size(), 1u); // Start was pressed: the list is empty
    EXPECT_EQ(answers.shown[0].text, "請先設置同步或備份的路徑");
}

TEST_F(MainDialogTest, PairsAndOptionSurviveACloseAndANewStart) {
    // A name that is not UTF-8 must come back byte for byte.
    const std::string oddName = (root / "caf\xe9").string();
    {
        auto dialog = open();
        dialog->pairList().appendRow(oddName, "/backup/1");
        dialog->pairList().appendRow("/home/甲", "/backup/乙");
        dialog->pairList().setChecked(1, true);
        dialog->controlAs<QCheckBox>(1009)->setChecked(false);
        dialog->controlAs<QCheckBox>(1022)->setChecked(true);
        EXPECT_TRUE(dialog->close());
    }
    auto dialog = open();
    PairList& list = dialog->pairList();
    ASSERT_EQ(list.rowCount(), 2);
    EXPECT_EQ(list.rowText(0, 0), oddName);
    EXPECT_EQ(list.rowText(0, 1), "/backup/1");
    EXPECT_EQ(list.rowText(1, 0), "/home/甲");
    EXPECT_EQ(list.rowText(1, 1), "/backup/乙");
    EXPECT_EQ(list.checkState(1), PairList::kUnchecked);
    EXPECT_FALSE(dialog->controlAs<QCheckBox>(1009)->isChecked());
    EXPECT_TRUE(dialog->controlAs<QCheckBox>(1022)->isChecked());
    EXPECT_FALSE(listDeleted(*dialog)->isChecked());
    EXPECT_TRUE(answers.shown.empty());
}

TEST_F(MainDialogTest, EscapeLeavesAtOnceUnlessItWouldLoseEdits) {
    WriteFile(files().pairListFile, "/a|/b\r\n");
    {
        // Changes undone and check marks (which are not stored) are no edits.
        auto dialog = open();
        dialog->controlAs<QCheckBox>(1009)->setChecked(false);
        dialog->controlAs<QCheckBox>(1009)->setChecked(true);
        dialog->pairList().setChecked(0, true);
        pressKey(dialog->control(1007), Qt::Key_Escape);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_TRUE(answers.shown.empty());
    }
    auto dialog = open();
    dialog->pairList().appendRow("/c", "/d");
    pressKey(dialog->control(1007), Qt::Key_Escape); // answered: stay
    ASSERT_EQ(answers.shown.size(), 1u);
    EXPECT_EQ(answers.shown[0].style, BoxStyle::SaveLeaveStay);
    EXPECT_EQ(answers.shown[0].text, "備份列表或選項已經改動。\n退出前要保存嗎？");
    EXPECT_TRUE(dialog->isVisible());

    answers.preset(BoxAnswer::No);
    pressKey(dialog->control(1007), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(ReadFile(files().pairListFile), "/a|/b\r\n");
    EXPECT_FALSE(fs::exists(files().settingsFile));

    auto again = open();
    listDeleted(*again)->setChecked(true);          // the later options count too
    pressKey(again->control(1007), Qt::Key_Escape); // answered: stay
    EXPECT_TRUE(again->isVisible());
    again->controlAs<QCheckBox>(1009)->setChecked(false);
    answers.preset(BoxAnswer::Yes);
    pressKey(again->control(1007), Qt::Key_Escape);
    EXPECT_FALSE(again->isVisible());
    EXPECT_NE(ReadFile(files().settingsFile).find("opt_delnone=0"), std::string::npos);
    EXPECT_NE(ReadFile(files().settingsFile).find("opt_listdeleted=1"), std::string::npos);
}

TEST_F(MainDialogTest, TabVisitsEachControlOnceAndSpaceTogglesTheCurrentRow) {
    auto dialog = open();
    PairList& list = dialog->pairList();
    list.appendRow("/a", "/b");
    list.appendRow("/c", "/d");
    dialog->activateWindow();
    QApplication::setActiveWindow(dialog.get());
    dialog->control(1007)->setFocus();
    // Stop is disabled; the group box and the status line are no tab stops.
    const std::vector<int> forward = {1009, 1010, 1011, 1012, 1013, 1014,
                                      1019, 1020, 1021, 1022, 1007};
    // The pane and the list show the focus with a ring around them; buttons draw their own.
    const auto ringed = [&dialog] {
        std::vector<int> around;
        for (const QWidget* ring : dialog->findChildren<QWidget*>("focusRing")) {
            const QWidget* focus = dialog->focusWidget();
            if (ring->isVisible()) { // a ring left behind counts as -1
                around.push_back(ring->geometry().contains(focus->geometry())
                                     ? focus->objectName().toInt()
                                     : -1);
            }
        }
        return around;
    };
    std::vector<int> ringedOnes;
    for (const bool backward : {false, true}) {
        std::vector<int> order;
        for (std::size_t i = 0; i < forward.size(); ++i) {
            QKeyEvent tab(QEvent::KeyPress, backward ? Qt::Key_Backtab : Qt::Key_Tab,
                          backward ? Qt::ShiftModifier : Qt::NoModifier);
            QApplication::sendEvent(dialog->focusWidget(), &tab);
            order.push_back(dialog->focusWidget()->objectName().toInt());
            const std::vector<int> ring = ringed();
            ringedOnes.insert(ringedOnes.end(), ring.begin(), ring.end());
        }
        std::vector<int> expected = forward;
        if (backward) {
            std::reverse(expected.begin(), expected.end() - 1);
        }
        EXPECT_EQ(order, expected) << (backward ? "Shift+Tab" : "Tab");
    }
    EXPECT_EQ(ringedOnes, (std::vector<int>{1010, 1012, 1012, 1010}));

    list.setFocus();
    list.setCurrentCell(1, 1);
    pressKey(&list, Qt::Key_Space);
    EXPECT_EQ(list.checkState(1), PairList::kChecked);
    EXPECT_EQ(list.checkState(0), PairList::kUnchecked);
    pressKey(&list, Qt::Key_Space);
    EXPECT_EQ(list.checkState(1), PairList::kUnchecked);
}

TEST_F(MainDialogTest, AFailedSaveShowsTheStopBoxAndKeepsTheWindowAndTheOldFile) {
    WriteFile(files().pairListFile, "/old|/kept\r\n");
    FullDisk fullDisk;
    auto dialog = open(fullDisk);
    dialog->pairList().appendRow("/new", "/pair");

    EXPECT_FALSE(dialog->close());
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_EQ(answers.shown.size(), 1u);
    EXPECT_EQ(answers.shown[0].style, BoxStyle::OkStop);
    EXPECT_EQ(answers.shown[0].text,
              QString::fromStdString("在存取 " + files().pairListFile + " 时磁盘已满。"));
    EXPECT_EQ(ReadFile(files().pairListFile), "/old|/kept\r\n");
    EXPECT_EQ(dialog->pairList().rowCount(), 2);
}

} // namespace
} // namespace kestrova

namespace kestrova {
namespace {

TEST(StatusLine, ShortensThePathInTheMiddleAndShowsALongCopysShare) {
    const QFontMetrics metrics{QFont()};
    RunProgress progress{12,
                         3,
                         1,
                         "/home/mei/videos/2026/holiday/clip.mkv",
                         true,
                         std::uint64_t(1) << 30,
                         std::uint64_t(3) << 30};
    const QString whole = "已檢查 12，已複製 3，失敗 "
                          "1　/home/mei/videos/2026/holiday/clip.mkv　33%（1.0 GB / 3.0 GB）";
    EXPECT_EQ(StatusLineText(progress, metrics, 10000), whole);
    const QString cut = StatusLineText(progress, metrics, metrics.horizontalAdvance(whole) - 40);
    EXPECT_TRUE(cut.startsWith("已檢查 12，已複製 3，失敗 1　/home")) << cut.toStdString();
    EXPECT_TRUE(cut.endsWith("clip.mkv　33%（1.0 GB / 3.0 GB）")) << cut.toStdString();
    EXPECT_TRUE(cut.contains(QChar(0x2026)));

    progress.longCopy = false;
    EXPECT_EQ(StatusLineText(progress, metrics, 10000),
              "已檢查 12，已複製 3，失敗 1　/home/mei/videos/2026/holiday/clip.mkv");
    EXPECT_EQ(ByteCount(73), "73 B");
    EXPECT_EQ(ByteCount(1536), "1.5 KB");
    EXPECT_EQ(ByteCount(std::uint64_t(200) << 20), "200 MB");
}

} // namespace
} // namespace kestrova
