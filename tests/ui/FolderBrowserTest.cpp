// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "FolderTestSupport.h"
#include "PresetAnswers.h"

#include "ui/qt/FolderBrowser.h"
#include "ui/qt/FolderChooser.h"
#include "ui/qt/NativeText.h"

#include "support/TreeFixture.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QTreeView>
#include <filesystem>
#include <fstream>

namespace kestrova::test {
namespace {

namespace fs = std::filesystem;

class FolderBrowserTest : public ::testing::Test {
protected:
    // Runs a browser starting at `start`; `steps` drive its window.
    int Run(const std::string& start, std::function<void(FolderChooser&)> steps) {
        FolderBrowser browser("請選擇文件路徑", "請選擇路徑", start, nullptr, prompt);
        WhileModal([&](QWidget& w) {
            window = static_cast<FolderChooser*>(&w);
            box = Control<QLineEdit>(w, FolderBrowser::kPathBoxId);
            steps(*window);
        });
        const int result = browser.RunModal();
        accepted = result == 1 ? browser.GetPath() : "";
        return result;
    }
    std::string Box() const { return box->text().toStdString(); }
    bool OkEnabled() const { return window->okButton()->isEnabled(); }
    std::string Selected() const {
        const QModelIndexList rows = window->tree()->selectionModel()->selectedRows();
        return rows.isEmpty() ? "" : window->folderPath(rows.front()).toStdString();
    }
    void Select(const std::string& folder) const {
        window->tree()->selectionModel()->setCurrentIndex(
            window->indexOf(QString::fromStdString(folder)),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    // Types `text` and presses OK; returns the boxes shown meanwhile.
    std::vector<ShownBox> TypeAndOk(const std::string& text) {
        answers.shown.clear();
        Type(box, text);
        window->okButton()->click();
        return answers.shown;
    }

    // Removed name by name as bytes: a test makes a name that is not UTF-8.
    TempFolder tempFolder;
    const std::string temp = tempFolder.path();
    PresetAnswers answers;
    MessageBoxRoutine prompt{answers};
    FolderChooser* window = nullptr;
    QLineEdit* box = nullptr;
    std::string accepted;
};

TEST_F(FolderBrowserTest, SelectionFillsTheBoxAndOkFollowsTheBoxText) {
    fs::create_directories(temp + "/a/b");
    EXPECT_EQ(Run(temp + "/a",
                  [&](FolderChooser& w) {
                      EXPECT_EQ(w.windowTitle(), "請選擇文件路徑");
                      EXPECT_TRUE(w.statusLine()->isHidden());
                      // As wide as the tree, 23 pixels high, 4 above it, also after a resize.
                      for (const QSize size : {QSize(360, 440), QSize(520, 600)}) {
                          w.resize(size);
                          w.layout()->activate();
                          const QRect tree(w.tree()->mapTo(&w, QPoint(0, 0)), w.tree()->size());
                          EXPECT_EQ(box->geometry(),
                                    QRect(tree.left(), tree.top() - 27, tree.width(), 23));
                      }
                      EXPECT_EQ(Selected(), temp + "/a");
                      EXPECT_EQ(Box(), temp + "/a");
                      EXPECT_TRUE(OkEnabled());
                      Type(box, "");
                      EXPECT_FALSE(OkEnabled());
                      Type(box, "x");
                      EXPECT_TRUE(OkEnabled());
                      EXPECT_EQ(Selected(), temp + "/a"); // typing leaves the tree alone
                      Select(temp + "/a/b");
                      EXPECT_EQ(Box(), temp + "/a/b");
                      w.tree()->clearSelection();
                      EXPECT_EQ(Box(), "");
                      EXPECT_FALSE(OkEnabled());
                      Select("/");
                      w.okButton()->click();
                  }),
              1);
    EXPECT_EQ(accepted, "/");

    // No usable start folder: nothing selected, not even when the tree gains the focus.
    // Cancel ends with -1.
    std::ofstream(temp + "/a/file") << "data";
    for (const std::string& start :
         {std::string(), std::string("relative"), temp + "/gone", temp + "/a/file"}) {
        EXPECT_EQ(Run(start,
                      [&](FolderChooser& w) {
                          QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
                          QApplication::sendEvent(w.tree(), &focusIn);
                          EXPECT_TRUE(w.tree()->selectionModel()->selectedRows().isEmpty())
                              << start;
                          EXPECT_EQ(Box(), "") << start;
                          EXPECT_FALSE(OkEnabled()) << start;
                          w.reject();
                      }),
                  -1);
    }
}

TEST_F(FolderBrowserTest, TypedPathIsJudgedOnOk) {
    const std::string missing = temp + "/new/deeper";
    EXPECT_EQ(Run(temp,
                  [&](FolderChooser& w) {
                      for (const std::string bad : {"relative/path", "/a//b", "/a/"}) {
                          const auto shown = TypeAndOk(bad);
                          ASSERT_EQ(shown.size(), 1u);
                          EXPECT_EQ(shown[0].text.toStdString(),
                                    "The folder:\n\n" + bad + "\n\nis invalid. Please reenter.");
                          EXPECT_EQ(Box(), bad);
                          EXPECT_EQ(w.focusWidget(), box);
                      }
                      // Cut at the byte limit, never inside a character: "é" straddles it.
                      const std::string head(FolderBrowser::kMaxPathBytes - 1, 'a');
                      const auto shown = TypeAndOk(head + "é/tail");
                      ASSERT_EQ(shown.size(), 1u);
                      EXPECT_EQ(shown[0].text.toStdString(),
                                "The folder:\n\n" + head + "\n\nis invalid. Please reenter.");

                      // A file is no folder: refused where it is typed.
                      std::ofstream(temp + "/file") << "data";
                      ASSERT_EQ(TypeAndOk(temp + "/file").size(), 1u);
                      EXPECT_EQ(answers.shown[0].text.toStdString(),
                                "The path:\n\n" + temp +
                                    "/file\n\nis a file, not a folder. Please reenter.");
                      EXPECT_EQ(w.focusWidget(), box);
                      EXPECT_TRUE(w.isVisible());

                      answers.preset(BoxAnswer::No);
                      ASSERT_EQ(TypeAndOk(missing).size(), 1u);
                      EXPECT_EQ(answers.shown[0].owner.data(), &w);
                      EXPECT_FALSE(fs::exists(temp + "/new"));
                      EXPECT_TRUE(w.isVisible());

                      answers.preset(BoxAnswer::Yes);
                      QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                      QApplication::sendEvent(box, &enter);
                  }),
              1);
    EXPECT_EQ(accepted, missing);
    EXPECT_TRUE(fs::is_directory(missing));
}

// The tree and the path box hold text; a name that is not UTF-8 shows with a
// replacement character and must still lead back to its own bytes.
TEST_F(FolderBrowserTest, FolderNamesThatAreNotUtf8KeepTheirBytes) {
    const std::string odd = temp + "/caf\xe9/sub";
    fs::create_directories(odd);
    const QString shown = QString::fromUtf8(odd.data(), qsizetype(odd.size()));
    EXPECT_EQ(FolderPathBytes(shown), odd);
    EXPECT_EQ(FolderPathBytes(shown + "/new"), odd + "/new");

    EXPECT_EQ(Run(temp,
                  [&](FolderChooser& w) {
                      SetBoxBytes(box, odd);
                      EXPECT_EQ(box->text(), shown);
                      w.okButton()->click();
                  }),
              1);
    EXPECT_EQ(accepted, odd);
    EXPECT_TRUE(answers.shown.empty()); // no offer to create another folder
}

} // namespace
} // namespace kestrova::test
