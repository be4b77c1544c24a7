// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "FolderTestSupport.h"
#include "PresetAnswers.h"

#include "settings/SaveFileSystem.h"
#include "sync/SyncWorker.h"
#include "ui/qt/MainDialog.h"
#include "ui/qt/PairDialog.h"
#include "ui/qt/PairList.h"
#include "ui/qt/SelectionMark.h"

#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>

namespace kestrova::test {
namespace {

using Rows = std::vector<std::vector<std::string>>; // source, target, status, check mark

class PairCommandsTest : public ::testing::Test {
protected:
    PairCommandsTest() {
        list.appendRow("/home/a", "/backup/a");
        list.appendRow("/home/b", "/backup/b");
        list.setChecked(1, true);
        window.setRowStatus(1, "完成");
    }
    ~PairCommandsTest() override { g_syncRunning = 0; }

    Rows Table() {
        Rows rows;
        for (int r = 0; r < list.rowCount(); ++r) {
            rows.push_back({list.rowText(r, 0), list.rowText(r, 1), list.rowText(r, 2),
                            list.checkState(r) == PairList::kChecked ? "checked" : ""});
        }
        return rows;
    }
    // Answers the next pair editor: records its texts, types these, then OK or Cancel.
    void Answer(const std::string& source, const std::string& target, bool ok) {
        WhileModal([=, this](QWidget& w) {
            auto& editor = static_cast<PairDialog&>(w);
            opened = {Text(editor, PairDialog::kSourceBox), Text(editor, PairDialog::kTargetBox)};
            Type(editor.controlAs<QLineEdit>(PairDialog::kSourceBox), source);
            Type(editor.controlAs<QLineEdit>(PairDialog::kTargetBox), target);
            editor.controlAs<QPushButton>(ok ? 1 : 2)->click();
        });
    }
    static std::string Text(PairDialog& d, int id) {
        return d.controlAs<QLineEdit>(id)->text().toStdString();
    }
    void Add() { window.controlAs<QPushButton>(1013)->click(); }
    // A double-click at height `y` of the list; the edit runs once events are handled.
    void DoubleClick(int y) {
        const QPointF at(10, y);
        QMouseEvent click(QEvent::MouseButtonDblClick, at, list.viewport()->mapToGlobal(at),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list.viewport(), &click);
        QCoreApplication::processEvents();
    }
    int RowY(int row) { return list.visualItemRect(list.item(row, 0)).center().y(); }

    QTemporaryDir dir;
    PresetAnswers boxes;
    MessageBoxRoutine messages{boxes};
    SaveFileSystem fileSystem;
    MainDialog window{
        messages,
        {(dir.path() + "/Kestrova.ini").toStdString(), (dir.path() + "/dirlist.cfg").toStdString()},
        fileSystem};
    PairList& list = window.pairList();
    std::vector<std::string> opened;
};

TEST_F(PairCommandsTest, AddAppendsOnlyWhatTheEditorConfirmed) {
    Rows expected = Table();
    Answer("/x", "/y", false);
    Add();
    EXPECT_EQ(Table(), expected);

    Answer("", "", true);
    Add();
    EXPECT_EQ(opened, (std::vector<std::string>{"", ""}));
    expected.push_back({"", "", "", ""});
    EXPECT_EQ(Table(), expected);
}

TEST_F(PairCommandsTest, EditChangesOnlyTheTextsOfTheMarkedRowEvenDuringARun) {
    g_syncRunning = 1;
    list.selectRow(1);
    Rows expected = Table();
    Answer("/x", "/y", false);
    DoubleClick(RowY(1));
    EXPECT_EQ(opened, (std::vector<std::string>{"/home/b", "/backup/b"}));
    EXPECT_EQ(Table(), expected);

    // Below the last row the mark still names row 1.
    Answer("/home/b2", " /backup/b2", true);
    DoubleClick(list.viewport()->height() - 2);
    expected[1] = {"/home/b2", " /backup/b2", "完成", "checked"};
    EXPECT_EQ(Table(), expected);

    // The first row is a row like any other.
    list.selectRow(0);
    Answer("/home/a2", "/backup/a2", true);
    DoubleClick(RowY(0));
    EXPECT_EQ(opened, (std::vector<std::string>{"/home/a", "/backup/a"}));
    expected[0] = {"/home/a2", "/backup/a2", "", ""};
    EXPECT_EQ(Table(), expected);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(SelectionMark, IsSetBySelectingOnlyAndFollowsItsRow) {
    PairList list;
    for (const char* name : {"/a", "/b", "/c", "/d"}) {
        list.appendRow(name, name);
    }
    SelectionMark mark(&list);
    QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason); // puts the cursor on a row
    QApplication::sendEvent(&list, &focusIn);
    EXPECT_EQ(mark.row(), -1);
    list.selectRow(2);
    list.clearSelection();
    EXPECT_EQ(mark.row(), 2);
    list.removeRow(0);
    EXPECT_EQ(mark.row(), 1);
    list.removeRow(1);
    EXPECT_EQ(mark.row(), -1);
}

} // namespace
} // namespace kestrova::test
