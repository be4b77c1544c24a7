// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/qt/AboutDialog.h"
#include "ui/qt/MainDialog.h"

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

struct SeenAboutBox {
    QPointer<QWidget> dialog;
    QStringList look;
};

// How an open About box looks, as text, so that two openings compare whole.
QStringList describe(const AboutDialog& about, const QWidget& owner) {
    const QLabel* link = about.controlAs<QLabel>(AboutDialog::kLinkId);
    QStringList look{
        about.windowTitle(),
        about.parentWidget() == &owner ? "owned" : "not owned",
        about.focusWidget() ? "focus " + about.focusWidget()->objectName() : "no focus",
        std::abs(about.geometry().center().x() - owner.geometry().center().x()) <= 1 &&
                std::abs(about.geometry().center().y() - owner.geometry().center().y()) <= 1
            ? "centred"
            : "not centred",
        QStringLiteral("link width %1 url '%2' tip '%3' underlined %4 colour %5")
            .arg(link->width())
            .arg(QString::fromStdString(about.link.url()), link->toolTip())
            .arg(link->font().underline())
            .arg(about.link.textColor().name()),
    };
    for (const QLabel* label : about.findChildren<QLabel*>()) {
        look << label->text();
    }
    return look;
}

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

    // Runs the action; an About box it opens is recorded, left changed (visited,
    // always underlined) and ended with OK.
    std::optional<SeenAboutBox> runAndRecord(const std::function<void()>& action) {
        std::optional<SeenAboutBox> seen;
        QObject guard;
        QTimer::singleShot(0, &guard, [&] {
            auto* about = qobject_cast<AboutDialog*>(QApplication::activeModalWidget());
            if (!about) {
                return;
            }
            seen = SeenAboutBox{about, describe(*about, main)};
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

    const auto first = runAndRecord([&] { button->click(); });
    ASSERT_TRUE(first.has_value());
    EXPECT_TRUE(first->dialog.isNull()) << "the box outlived its opening";
    EXPECT_EQ(first->look.mid(0, 5).join(" | ").toStdString(),
              "關于Kestrova | owned | focus 1 | centred | "
              "link width 0 url '' tip '' underlined 0 colour #0000ee");
    EXPECT_TRUE(first->look.contains(QStringLiteral("公司网址：")));

    const auto second = runAndRecord([&] { button->click(); });
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->look.join(" | ").toStdString(), first->look.join(" | ").toStdString());
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
}

} // namespace
} // namespace kestrova
