// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "FolderTestSupport.h"
#include "PresetAnswers.h"

#include "ui/qt/FolderBrowser.h"
#include "ui/qt/PairDialog.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

namespace kestrova::test {
namespace {

// A browser that answers at once: with `answer` when it is not empty, else Cancel.
// It records where it was asked to start.
class ScriptedBrowser : public FolderBrowser {
public:
    ScriptedBrowser(const std::string& start, QWidget* opener, MessagePrompt& boxes,
                    std::string answer, std::string& startedAt)
        : FolderBrowser("", "", start, opener, boxes), answer_(std::move(answer)) {
        startedAt = start;
    }
    int RunModal() override {
        path = answer_;
        return answer_.empty() ? -1 : 1;
    }

private:
    std::string answer_;
};

class PairDialogTest : public ::testing::Test {
protected:
    int Run(std::function<void(PairDialog&)> steps) {
        PairDialog dialog(nullptr, prompt, browsers);
        dialog.sourcePath = "/from";
        dialog.targetPath = "/to";
        WhileModal([&](QWidget& w) { steps(static_cast<PairDialog&>(w)); });
        const int result = dialog.RunModal();
        result_ = {dialog.sourcePath, dialog.targetPath};
        return result;
    }
    static QLineEdit* Box(PairDialog& d, int id) { return d.controlAs<QLineEdit>(id); }
    static std::string Text(PairDialog& d, int id) { return Box(d, id)->text().toStdString(); }
    static void Click(PairDialog& d, int id) { d.controlAs<QPushButton>(id)->click(); }

    PresetAnswers answers;
    MessageBoxRoutine prompt{answers};
    std::string answer, startedAt;
    FolderBrowserFactory browsers = [this](const std::string& caption, const std::string& title,
                                           const std::string& start, QWidget* parent) {
        EXPECT_EQ(caption, "請選擇文件路徑");
        EXPECT_EQ(title, "請選擇路徑");
        EXPECT_EQ(parent, QApplication::activeModalWidget());
        return std::make_unique<ScriptedBrowser>(start, parent, prompt, answer, startedAt);
    };
    std::pair<std::string, std::string> result_;
};

TEST_F(PairDialogTest, OkTakesTheBoxesAsTheyAreAndCancelTakesNothing) {
    EXPECT_EQ(Run([](PairDialog& d) {
                  EXPECT_EQ(Text(d, PairDialog::kSourceBox), "/from");
                  EXPECT_EQ(Text(d, PairDialog::kTargetBox), "/to");
                  Type(Box(d, PairDialog::kSourceBox), "  relative ");
                  Type(Box(d, PairDialog::kTargetBox), "");
                  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                  QApplication::sendEvent(Box(d, PairDialog::kTargetBox), &enter);
              }),
              1);
    EXPECT_EQ(result_, std::make_pair(std::string("  relative "), std::string()));

    // A file named as a folder is refused where it was typed; its box takes the focus.
    QTemporaryDir dir;
    const std::string file = dir.path().toStdString() + "/file";
    std::ofstream(file) << "data";
    EXPECT_EQ(Run([&](PairDialog& d) {
                  Type(Box(d, PairDialog::kTargetBox), file);
                  Click(d, 1);
                  EXPECT_TRUE(d.isVisible());
                  EXPECT_EQ(d.focusWidget(), Box(d, PairDialog::kTargetBox));
                  Type(Box(d, PairDialog::kTargetBox), file + "-folder");
                  Click(d, 1);
              }),
              1);
    ASSERT_EQ(answers.shown.size(), 1u);
    EXPECT_EQ(answers.shown[0].text.toStdString(),
              "The path:\n\n" + file + "\n\nis a file, not a folder. Please reenter.");
    EXPECT_EQ(result_.second, file + "-folder");

    for (const bool escape : {false, true}) {
        EXPECT_EQ(Run([escape](PairDialog& d) {
                      Type(Box(d, PairDialog::kSourceBox), "/changed");
                      escape ? d.reject() : Click(d, 2);
                  }),
                  2);
        EXPECT_EQ(result_, std::make_pair(std::string("/from"), std::string("/to")));
    }

    // A path that is not UTF-8 comes back byte for byte unless its text was edited.
    PairDialog dialog(nullptr, prompt, browsers);
    dialog.sourcePath = "/caf\xe9";
    dialog.targetPath = "/caf\xe9";
    WhileModal([](QWidget& w) {
        auto& d = static_cast<PairDialog&>(w);
        Type(Box(d, PairDialog::kTargetBox), Text(d, PairDialog::kTargetBox) + "2");
        Click(d, 1);
    });
    EXPECT_EQ(dialog.RunModal(), 1);
    EXPECT_EQ(dialog.sourcePath, "/caf\xe9");
    EXPECT_EQ(dialog.targetPath, "/caf\xef\xbf\xbd"
                                 "2");
}

TEST_F(PairDialogTest, EachBrowseStartsAtItsBoxAndChangesOnlyThatBox) {
    Run([&](PairDialog& d) {
        Type(Box(d, PairDialog::kSourceBox), "/half-ty");
        Type(Box(d, PairDialog::kTargetBox), "/typed");
        Box(d, PairDialog::kTargetBox)->setFocus();
        Click(d, PairDialog::kBrowseTarget); // cancelled
        EXPECT_EQ(startedAt, "/typed");
        EXPECT_EQ(Text(d, PairDialog::kTargetBox), "/typed");
        EXPECT_EQ(d.focusWidget(), d.control(1));

        answer = "/picked";
        Box(d, PairDialog::kSourceBox)->setFocus();
        Click(d, PairDialog::kBrowseTarget);
        EXPECT_EQ(Text(d, PairDialog::kSourceBox), "/half-ty");
        EXPECT_EQ(Text(d, PairDialog::kTargetBox), "/picked");
        EXPECT_EQ(d.focusWidget(), d.control(1));
        Click(d, PairDialog::kBrowseSource);
        EXPECT_EQ(startedAt, "/half-ty");
        EXPECT_EQ(Text(d, PairDialog::kSourceBox), "/picked");
        d.reject();
    });
}

TEST_F(PairDialogTest, RealBrowserFillsTheBoxWithTheAcceptedText) {
    QTemporaryDir dir;
    const std::string typed = dir.path().toStdString() + "/made here";
    browsers = MakeFolderBrowsers(prompt);
    answers.preset(BoxAnswer::Yes);
    Run([&](PairDialog& d) {
        WhileModal([&](QWidget& browser) {
            EXPECT_EQ(browser.parentWidget(), &d);
            Type(Control<QLineEdit>(browser, FolderBrowser::kPathBoxId), typed);
            Control<QPushButton>(browser, 1)->click();
        });
        Click(d, PairDialog::kBrowseSource);
        EXPECT_EQ(Text(d, PairDialog::kSourceBox), typed);
        // The create-folder box and the browser are gone: the editor has the keys again.
        for (int wait = 0; wait < 100 && QApplication::activeWindow() != &d; ++wait) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        EXPECT_EQ(QApplication::activeWindow(), &d);
        EXPECT_EQ(QApplication::focusWidget(), d.control(1));
        d.reject();
    });
    EXPECT_TRUE(std::filesystem::is_directory(typed));
}

} // namespace
} // namespace kestrova::test
