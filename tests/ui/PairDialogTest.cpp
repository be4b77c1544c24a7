#include "FolderTestSupport.h"
#include "PresetAnswers.h"

#include "ui/FolderBrowser.h"
#include "ui/PairDialog.h"

#include <QKeyEvent>
#include <QPushButton>

#include <optional>

namespace kestrova::test {
namespace {

// What a browse button asked of the browser, and what the browser answers.
struct BrowseScript {
    std::optional<std::string> answer; // the accepted path; none for Cancel
    int opened = 0;
    std::string caption, title, initialFolder;
    QWidget* parent = nullptr;
};

class ScriptedBrowser : public FolderBrowser {
public:
    ScriptedBrowser(const std::string& captionText, const std::string& titleText,
                    const std::string& startFolder, QWidget* opener, MessagePrompt& boxes,
                    BrowseScript& script)
        : FolderBrowser(captionText, titleText, startFolder, opener, boxes), script_(script) {
        script_.caption = captionText;
        script_.title = titleText;
        script_.initialFolder = startFolder;
        script_.parent = opener;
    }

    int RunModal() override {
        ++script_.opened;
        if (!script_.answer) {
            return -1;
        }
        path = *script_.answer;
        return 1;
    }

private:
    BrowseScript& script_;
};

class PairDialogTest : public ::testing::Test {
protected:
    FolderBrowserFactory Scripted() {
        return [this](const std::string& caption, const std::string& title,
                      const std::string& initialFolder, QWidget* parent) {
            return std::make_unique<ScriptedBrowser>(caption, title, initialFolder, parent, prompt,
                                                     script);
        };
    }

    // Opens a pair editor on `source` and `target` and runs `steps` in it.
    int Run(const std::string& source, const std::string& target,
            std::function<void(PairDialog&)> steps, FolderBrowserFactory browsers = {}) {
        PairDialog dialog(nullptr, browsers ? browsers : Scripted());
        dialog.sourcePath = source;
        dialog.targetPath = target;
        WhileModal([&](QWidget& w) { steps(static_cast<PairDialog&>(w)); });
        const int result = dialog.RunModal();
        source_ = dialog.sourcePath;
        target_ = dialog.targetPath;
        return result;
    }

    static QLineEdit* Box(PairDialog& d, int id) { return d.controlAs<QLineEdit>(id); }
    static std::string Text(PairDialog& d, int id) { return Box(d, id)->text().toStdString(); }
    static void Click(PairDialog& d, int id) { d.controlAs<QPushButton>(id)->click(); }

    PresetAnswers answers;
    MessageBoxRoutine prompt{answers};
    BrowseScript script;
    std::string source_, target_;
};

TEST_F(PairDialogTest, OkTakesTheBoxesAsTheyAreAndCancelTakesNothing) {
    EXPECT_EQ(Run("", "",
                  [](PairDialog& d) {
                      EXPECT_EQ(d.windowTitle().toStdString(), "備份");
                      EXPECT_EQ(Text(d, PairDialog::kSourceBox), "");
                      Click(d, 1);
                  }),
              1);
    EXPECT_EQ(source_, "");
    EXPECT_EQ(target_, "");

    EXPECT_EQ(Run("/from", "/to",
                  [](PairDialog& d) {
                      EXPECT_EQ(Text(d, PairDialog::kSourceBox), "/from");
                      EXPECT_EQ(Text(d, PairDialog::kTargetBox), "/to");
                      Type(Box(d, PairDialog::kSourceBox), "  relative ");
                      Type(Box(d, PairDialog::kTargetBox), "/a//b/");
                      // Enter in a box presses the default button, OK.
                      QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                      QApplication::sendEvent(Box(d, PairDialog::kTargetBox), &enter);
                  }),
              1);
    EXPECT_EQ(source_, "  relative ");
    EXPECT_EQ(target_, "/a//b/");

    EXPECT_EQ(Run("/from", "/to",
                  [](PairDialog& d) {
                      Type(Box(d, PairDialog::kSourceBox), "/changed");
                      Click(d, 2);
                  }),
              2);
    EXPECT_EQ(source_, "/from");
    EXPECT_EQ(target_, "/to");

    EXPECT_EQ(Run("/from", "/to", [](PairDialog& d) { d.reject(); }), 2);
}

TEST_F(PairDialogTest, CancelledBrowseKeepsTypedTextAndStartsThere) {
    Run("", "/to", [&](PairDialog& d) {
        Type(Box(d, PairDialog::kSourceBox), "/typed by hand");
        Click(d, PairDialog::kBrowseSource);
        EXPECT_EQ(script.opened, 1);
        EXPECT_EQ(script.caption, "請選擇文件路徑");
        EXPECT_EQ(script.title, "請選擇路徑");
        EXPECT_EQ(script.initialFolder, "/typed by hand");
        EXPECT_EQ(script.parent, &d);
        EXPECT_EQ(Text(d, PairDialog::kSourceBox), "/typed by hand");
        EXPECT_EQ(Text(d, PairDialog::kTargetBox), "/to");
        EXPECT_EQ(d.focusWidget(), d.control(1));
        d.reject();
    });
}

TEST_F(PairDialogTest, EachBrowseChangesOnlyItsOwnBox) {
    script.answer = "/picked/target";
    EXPECT_EQ(Run("/from", "",
                  [&](PairDialog& d) {
                      Type(Box(d, PairDialog::kSourceBox), "/half-ty");
                      Box(d, PairDialog::kTargetBox)->setFocus();
                      Click(d, PairDialog::kBrowseTarget);
                      EXPECT_EQ(script.initialFolder, "");
                      EXPECT_EQ(Text(d, PairDialog::kSourceBox), "/half-ty");
                      EXPECT_EQ(Text(d, PairDialog::kTargetBox), "/picked/target");
                      EXPECT_EQ(d.focusWidget(), d.control(1));

                      script.answer = "/";
                      Click(d, PairDialog::kBrowseSource);
                      EXPECT_EQ(script.initialFolder, "/half-ty");
                      EXPECT_EQ(Text(d, PairDialog::kSourceBox), "/");
                      EXPECT_EQ(Text(d, PairDialog::kTargetBox), "/picked/target");
                      EXPECT_EQ(d.focusWidget(), d.control(1));
                      Click(d, 1);
                  }),
              1);
    EXPECT_EQ(source_, "/");
    EXPECT_EQ(target_, "/picked/target");
}

TEST_F(PairDialogTest, RealBrowserOpensOverTheEditorAndFillsTheBox) {
    TempFolder temp;
    const std::string typed = temp / "made here";
    answers.preset(BoxAnswer::Yes);
    Run(
        temp.path(), "",
        [&](PairDialog& d) {
            WhileModal([&](QWidget& browser) {
                EXPECT_EQ(browser.parentWidget(), &d);
                EXPECT_EQ(
                    Control<QLineEdit>(browser, FolderBrowser::kPathBoxId)->text().toStdString(),
                    temp.path());
                Type(Control<QLineEdit>(browser, FolderBrowser::kPathBoxId), typed);
                Control<QPushButton>(browser, 1)->click();
            });
            Click(d, PairDialog::kBrowseSource);
            EXPECT_EQ(Text(d, PairDialog::kSourceBox), typed);
            d.reject();
        },
        MakeFolderBrowsers(prompt));
    EXPECT_TRUE(std::filesystem::is_directory(typed));
}

} // namespace
} // namespace kestrova::test
