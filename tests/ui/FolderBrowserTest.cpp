#include "FolderTestSupport.h"
#include "PresetAnswers.h"

#include "ui/FolderBrowser.h"
#include "ui/FolderChooser.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QTreeView>

#include <algorithm>
#include <filesystem>

namespace kestrova::test {
namespace {

namespace fs = std::filesystem;

constexpr int kTreeId = FolderChooser::kTreeId;
constexpr int kBoxId = FolderBrowser::kPathBoxId;

// The browse window as the user sees it.
struct BrowseWindow {
    explicit BrowseWindow(QWidget& w)
        : window(static_cast<FolderChooser&>(w)), box(Control<QLineEdit>(w, kBoxId)),
          tree(Control<QTreeView>(w, kTreeId)), ok(Control<QPushButton>(w, 1)),
          cancel(Control<QPushButton>(w, 2)) {}

    std::string boxText() const { return box->text().toStdString(); }
    std::string selected() const {
        const QModelIndexList rows = tree->selectionModel()->selectedRows();
        return rows.isEmpty() ? std::string() : window.folderPath(rows.front()).toStdString();
    }
    void select(const std::string& folder) const {
        tree->selectionModel()->setCurrentIndex(window.indexOf(QString::fromStdString(folder)),
                                                QItemSelectionModel::ClearAndSelect |
                                                    QItemSelectionModel::Rows);
    }
    void pressEnter() const {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(box, &press);
    }

    FolderChooser& window;
    QLineEdit* box;
    QTreeView* tree;
    QPushButton* ok;
    QPushButton* cancel;
};

class FolderBrowserTest : public ::testing::Test {
protected:
    int Run(const std::string& initialFolder, std::function<void(BrowseWindow&)> steps) {
        FolderBrowser browser("請選擇文件路徑", "請選擇路徑", initialFolder, nullptr, prompt);
        WhileModal([&](QWidget& w) {
            BrowseWindow bw(w);
            ASSERT_NE(bw.box, nullptr);
            steps(bw);
        });
        const int result = browser.RunModal();
        accepted = result == 1 ? browser.GetPath() : std::string();
        return result;
    }

    TempFolder temp;
    PresetAnswers answers;
    MessageBoxRoutine prompt{answers};
    std::string accepted;
};

TEST_F(FolderBrowserTest, BuildsTheWindowAroundTheTree) {
    Run(temp.path(), [](BrowseWindow& bw) {
        EXPECT_EQ(bw.window.windowTitle().toStdString(), "請選擇文件路徑");
        const QList<QLabel*> labels = bw.window.findChildren<QLabel*>();
        EXPECT_TRUE(std::any_of(labels.begin(), labels.end(),
                                [](QLabel* label) { return label->text() == "請選擇路徑"; }));
        EXPECT_TRUE(Control<QLabel>(bw.window, FolderChooser::kStatusLineId)->isHidden());
        for (const QSize size : {QSize(360, 440), QSize(520, 600)}) {
            bw.window.resize(size);
            bw.window.layout()->activate();
            const QRect tree(bw.tree->mapTo(&bw.window, QPoint(0, 0)), bw.tree->size());
            EXPECT_EQ(bw.box->height(), 23);
            EXPECT_EQ(bw.box->geometry().left(), tree.left());
            EXPECT_EQ(bw.box->width(), tree.width());
            EXPECT_EQ(bw.box->geometry().bottom() + 1 + 4, tree.top());
        }
        EXPECT_EQ(bw.box->font(), bw.window.font());
        bw.cancel->click();
    });
}

TEST_F(FolderBrowserTest, StartFolderIsSelectedAndShownWhenItExists) {
    fs::create_directories(temp / "a/b");
    EXPECT_EQ(Run(temp / "a/b",
                  [&](BrowseWindow& bw) {
                      EXPECT_EQ(bw.selected(), temp / "a/b");
                      EXPECT_EQ(bw.boxText(), temp / "a/b");
                      EXPECT_TRUE(bw.ok->isEnabled());
                      bw.cancel->click();
                  }),
              -1);
    for (const std::string& start : {std::string(), std::string("relative/path"), temp / "gone"}) {
        Run(start, [&](BrowseWindow& bw) {
            EXPECT_EQ(bw.selected(), "") << start;
            EXPECT_EQ(bw.boxText(), "") << start;
            EXPECT_FALSE(bw.ok->isEnabled()) << start;
            // Focus in the tree puts its cursor on a row but selects nothing.
            QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
            QApplication::sendEvent(bw.tree, &focusIn);
            EXPECT_EQ(bw.boxText(), "") << start;
            bw.window.reject();
        });
    }
}

TEST_F(FolderBrowserTest, OkIsEnabledExactlyWhileTheBoxHoldsText) {
    fs::create_directories(temp / "other");
    Run(temp.path(), [&](BrowseWindow& bw) {
        Type(bw.box, "");
        EXPECT_FALSE(bw.ok->isEnabled());
        Type(bw.box, "x");
        EXPECT_TRUE(bw.ok->isEnabled());
        // Typing leaves the tree alone; picking in the tree replaces the typed text.
        EXPECT_EQ(bw.selected(), temp.path());
        bw.select(temp / "other");
        EXPECT_EQ(bw.boxText(), temp / "other");
        EXPECT_TRUE(bw.ok->isEnabled());
        bw.tree->selectionModel()->clearSelection();
        EXPECT_EQ(bw.boxText(), "");
        EXPECT_FALSE(bw.ok->isEnabled());
        bw.cancel->click();
    });
}

TEST_F(FolderBrowserTest, SelectedFolderIsAcceptedAsShown) {
    EXPECT_EQ(Run(temp.path(),
                  [&](BrowseWindow& bw) {
                      bw.select("/");
                      EXPECT_EQ(bw.boxText(), "/");
                      bw.ok->click();
                  }),
              1);
    EXPECT_EQ(accepted, "/");
    EXPECT_TRUE(answers.shown.empty());
}

TEST_F(FolderBrowserTest, MissingFolderIsCreatedOnlyWithConsent) {
    const std::string typed = temp / "new/deeper";
    answers.preset(BoxAnswer::No);
    EXPECT_EQ(Run(temp.path(),
                  [&](BrowseWindow& bw) {
                      Type(bw.box, typed);
                      bw.ok->click();
                      EXPECT_TRUE(bw.window.isVisible());
                      EXPECT_EQ(bw.boxText(), typed);
                      EXPECT_FALSE(fs::exists(temp / "new"));
                      // The question is asked over the browser.
                      ASSERT_EQ(answers.shown.size(), 1u);
                      EXPECT_EQ(answers.shown[0].owner.data(), &bw.window);
                      bw.cancel->click();
                  }),
              -1);
    ASSERT_EQ(answers.shown.size(), 1u);
    EXPECT_EQ(answers.shown[0].style, BoxStyle::YesNoQuestion);

    answers = PresetAnswers();
    answers.preset(BoxAnswer::Yes);
    EXPECT_EQ(Run(temp.path(),
                  [&](BrowseWindow& bw) {
                      Type(bw.box, typed);
                      bw.pressEnter();
                  }),
              1);
    EXPECT_EQ(accepted, typed);
    EXPECT_TRUE(fs::is_directory(typed));
    EXPECT_EQ(answers.shown.size(), 1u);
}

TEST_F(FolderBrowserTest, InvalidTypedPathKeepsTheBrowserOpenAndTheText) {
    for (const std::string typed : {"relative/path", "/a//b", "/a/"}) {
        answers = PresetAnswers();
        EXPECT_EQ(Run(temp.path(),
                      [&](BrowseWindow& bw) {
                          Type(bw.box, typed);
                          bw.ok->click();
                          EXPECT_TRUE(bw.window.isVisible());
                          EXPECT_EQ(bw.boxText(), typed);
                          EXPECT_EQ(bw.window.focusWidget(), bw.box);
                          bw.window.reject();
                      }),
                  -1)
            << typed;
        ASSERT_EQ(answers.shown.size(), 1u) << typed;
        EXPECT_EQ(answers.shown[0].text.toStdString(),
                  "The folder:\n\n" + typed + "\n\nis invalid. Please reenter.");
        EXPECT_EQ(answers.shown[0].style, BoxStyle::OkExclamation);
    }
}

TEST_F(FolderBrowserTest, OverlongTextIsCutWithoutSplittingACharacter) {
    // "é" takes two bytes and straddles the limit, so the whole character is dropped.
    const std::string head(FolderBrowser::kMaxPathBytes - 1, 'a');
    Run(temp.path(), [&](BrowseWindow& bw) {
        Type(bw.box, head + "é" + "tail");
        bw.ok->click();
        bw.window.reject();
    });
    ASSERT_EQ(answers.shown.size(), 1u);
    EXPECT_EQ(answers.shown[0].text.toStdString(),
              "The folder:\n\n" + head + "\n\nis invalid. Please reenter.");
}

} // namespace
} // namespace kestrova::test
