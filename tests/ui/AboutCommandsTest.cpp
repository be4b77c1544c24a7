#include "ui/AboutDialog.h"
#include "ui/MainDialog.h"

#include "PresetAnswers.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace kestrova {
namespace {

// How an About box looked while it was up.
struct SeenAboutBox {
    QPointer<QWidget> dialog;
    QWidget* owner = nullptr;
    QString title;
    QRect geometryOverOwner;
    QStringList texts;
    QString focus;
    QRect link;
    std::string linkUrl;
    bool linkUnderlined = false;
    QColor linkColor;

    bool sameLook(const SeenAboutBox& other) const {
        return owner == other.owner && title == other.title &&
               geometryOverOwner == other.geometryOverOwner && texts == other.texts &&
               focus == other.focus && link == other.link && linkUrl == other.linkUrl &&
               linkUnderlined == other.linkUnderlined && linkColor == other.linkColor;
    }
};

class AboutCommandsTest : public ::testing::Test {
protected:
    AboutCommandsTest()
        : main(routine,
               {(folder.path() + "/Kestrova.ini").toStdString(),
                (folder.path() + "/dirlist.cfg").toStdString()},
               fileSystem) {
        routine.setMainWindow(&main);
        main.show();
    }

    // Runs the action; an About box it opens is recorded, left in a changed state
    // (visited, always underlined) and ended with OK.
    std::optional<SeenAboutBox> runAndRecord(const std::function<void()>& action) {
        std::optional<SeenAboutBox> seen;
        QObject guard;
        QTimer::singleShot(0, &guard, [&] {
            auto* about = qobject_cast<AboutDialog*>(QApplication::activeModalWidget());
            if (!about) {
                return;
            }
            QLabel* link = about->controlAs<QLabel>(AboutDialog::kLinkId);
            SeenAboutBox box{about,
                             about->parentWidget(),
                             about->windowTitle(),
                             about->geometry().translated(-main.geometry().topLeft()),
                             {},
                             about->focusWidget() ? about->focusWidget()->objectName() : "",
                             link->geometry(),
                             about->link.url(),
                             link->font().underline(),
                             about->link.textColor()};
            for (const QLabel* label : about->findChildren<QLabel*>()) {
                box.texts << label->text();
            }
            seen = box;
            about->link.setVisited(true);
            about->link.setUnderlineMode(LinkLabel::kAlwaysUnderlined);
            about->controlAs<QPushButton>(1)->click();
        });
        action();
        QCoreApplication::processEvents();
        return seen;
    }

    QTemporaryDir folder;
    test::PresetAnswers answers;
    MessageBoxRoutine routine{answers};
    SaveFileSystem fileSystem;
    MainDialog main;
};

TEST_F(AboutCommandsTest, TheAboutButtonOpensAFreshBoxEachTime) {
    auto* button = main.controlAs<QPushButton>(1011);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QStringLiteral("關于"));

    const auto first = runAndRecord([&] { button->click(); });
    ASSERT_TRUE(first.has_value());
    EXPECT_TRUE(first->dialog.isNull()) << "the box outlived its opening";
    EXPECT_EQ(first->owner, &main);
    EXPECT_EQ(first->title, QStringLiteral("關于Kestrova"));
    EXPECT_EQ(first->focus, QStringLiteral("1"));
    EXPECT_EQ(first->link.width(), 0);
    EXPECT_FALSE(first->linkUnderlined);
    EXPECT_EQ(first->linkColor, QColor(0, 0, 238));

    const auto second = runAndRecord([&] { button->click(); });
    ASSERT_TRUE(second.has_value());
    EXPECT_TRUE(second->sameLook(*first));
    EXPECT_TRUE(answers.shown.empty());
}

TEST_F(AboutCommandsTest, SystemCommandsSixteenToThirtyOneOpenTheBox) {
    for (int id : {16, 17, 31}) {
        bool handled = false;
        EXPECT_TRUE(runAndRecord([&] { handled = main.systemCommand(id); }).has_value()) << id;
        EXPECT_TRUE(handled) << id;
    }
    // Minimise, move, close and the neighbours of the About range are not the box's.
    for (int id : {0, 15, 32, 48, 0xF020, 0xF010, 0xF060}) {
        bool handled = true;
        EXPECT_FALSE(runAndRecord([&] { handled = main.systemCommand(id); }).has_value()) << id;
        EXPECT_FALSE(handled) << id;
    }
    EXPECT_TRUE(main.isVisible());
}

} // namespace
} // namespace kestrova
