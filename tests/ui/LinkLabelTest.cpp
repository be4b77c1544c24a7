// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/qt/LinkLabel.h"

#include "EventLoop.h"
#include "PresetAnswers.h"

#include <QCursor>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QWidget>

#include <gtest/gtest.h>

namespace kestrova {
namespace {

struct ScriptedOpener : LinkOpener {
    bool desktopOpens = true;
    std::vector<std::string> opened;
    bool openWithDesktop(const std::string& url) override {
        opened.push_back(url);
        return desktopOpens;
    }
    std::optional<std::string> webPageHandlerCommand() override { return std::nullopt; }
    int startProgram(const std::vector<std::string>&) override { return kOpenOutOfResources; }
};

bool imageHasColor(const QImage& image, QColor color) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y).rgb() == color.rgb()) {
                return true;
            }
        }
    }
    return false;
}

class LinkLabelTest : public ::testing::Test {
protected:
    LinkLabelTest() {
        window.resize(300, 100);
        control = new QLabel(&window);
        control->setGeometry(20, 30, 200, 20);
        control->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        link.setOpener(opener);
        link.setPrompt(routine);
        link.setBeep([this] { ++beeps; });
    }

    void attachAndShow(const QString& text) {
        control->setText(text);
        link.attach(control);
        window.show();
        QCoreApplication::processEvents();
    }

    void moveOver() {
        QCursor::setPos(control->mapToGlobal(control->rect().center()));
        QMouseEvent move(QEvent::MouseMove, QPointF(control->rect().center()),
                         QPointF(control->mapToGlobal(control->rect().center())), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(control, &move);
    }

    // Clicks the window where a user would: whatever widget lies at the point gets it.
    void clickAt(QPoint inWindow) {
        QWidget* target = window.childAt(inWindow);
        if (!target) {
            target = &window;
        }
        const QPointF local = target->mapFrom(&window, inWindow);
        const QPointF global = window.mapToGlobal(inWindow);
        QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(target, &press);
        QCoreApplication::sendEvent(target, &release);
    }

    void clickLink() { clickAt(control->geometry().center()); }

    void moveAway() { QCursor::setPos(window.mapToGlobal(QPoint(295, 95))); }

    QColor drawnColor() const { return control->palette().color(control->foregroundRole()); }

    QWidget window;
    QLabel* control = nullptr;
    LinkLabel link;
    ScriptedOpener opener;
    test::PresetAnswers answers;
    MessageBoxRoutine routine{answers};
    int beeps = 0;
};

TEST_F(LinkLabelTest, AttachTakesTheAddressFromTheTextAndSetsUpTheControl) {
    attachAndShow(QStringLiteral("https://example.org/<b>x</b>"));
    EXPECT_EQ(link.url(), "https://example.org/<b>x</b>");
    EXPECT_EQ(control->toolTip(), control->text());
    EXPECT_EQ(control->textFormat(), Qt::PlainText);
    EXPECT_EQ(control->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(drawnColor(), QColor(0, 0, 238));
    EXPECT_FALSE(control->font().underline());
    // Fitted to the text in the underlined font, top-left kept.
    QFont underlined = control->font();
    underlined.setUnderline(true);
    const QFontMetrics metrics(underlined);
    EXPECT_EQ(control->geometry(),
              QRect(20, 30, metrics.horizontalAdvance(control->text()), metrics.height()));
}

TEST_F(LinkLabelTest, AttachShowsTheAddressWhenTheTextIsEmpty) {
    link.setLinkUrl("https://example.org/");
    attachAndShow(QString());
    EXPECT_EQ(control->text(), QStringLiteral("https://example.org/"));
    EXPECT_EQ(control->toolTip(), QStringLiteral("https://example.org/"));
}

TEST_F(LinkLabelTest, AnEmptyLabelShrinksToNothingAndNeverOpens) {
    const QPoint place = control->geometry().center();
    attachAndShow(QString());
    EXPECT_EQ(link.url(), "");
    EXPECT_EQ(control->width(), 0);
    EXPECT_TRUE(control->toolTip().isEmpty());
    EXPECT_NE(window.childAt(place), control);
    clickAt(place);
    clickAt(control->pos());
    EXPECT_TRUE(opener.opened.empty());
    EXPECT_TRUE(answers.shown.empty());
    EXPECT_EQ(beeps, 0);
}

TEST_F(LinkLabelTest, HoverUnderlinesAndColoursUntilATimerTickFindsThePointerGone) {
    attachAndShow(QStringLiteral("https://example.org/"));
    moveOver();
    EXPECT_TRUE(link.isPointerOver());
    EXPECT_TRUE(link.isHoverTimerRunning());
    EXPECT_TRUE(control->font().underline());
    EXPECT_EQ(drawnColor(), QColor(255, 0, 0));
    EXPECT_TRUE(imageHasColor(control->grab().toImage(), QColor(255, 0, 0)));

    // Ticks with the pointer still over the label change nothing.
    test::processEventsFor(3 * LinkLabel::kHoverPeriodMs + 50);
    EXPECT_TRUE(link.isPointerOver());
    EXPECT_TRUE(control->font().underline());

    moveAway();
    ASSERT_TRUE(test::processEventsUntil([&] { return !link.isPointerOver(); }));
    EXPECT_FALSE(link.isHoverTimerRunning());
    EXPECT_FALSE(control->font().underline());
    EXPECT_EQ(drawnColor(), QColor(0, 0, 238));
    EXPECT_FALSE(imageHasColor(control->grab().toImage(), QColor(255, 0, 0)));
}

TEST_F(LinkLabelTest, AlwaysUnderlinedStaysUnderlinedWhenThePointerLeaves) {
    attachAndShow(QStringLiteral("https://example.org/"));
    link.setUnderlineMode(LinkLabel::kAlwaysUnderlined);
    EXPECT_TRUE(control->font().underline());
    moveOver();
    moveAway();
    ASSERT_TRUE(test::processEventsUntil([&] { return !link.isPointerOver(); }));
    EXPECT_TRUE(control->font().underline());

    link.setUnderlineMode(7);
    EXPECT_FALSE(control->font().underline());
}

TEST_F(LinkLabelTest, AClickMarksVisitedOnSuccessAndWarnsOnFailure) {
    attachAndShow(QStringLiteral("https://example.org/"));
    moveOver();
    clickLink();
    ASSERT_EQ(opener.opened, std::vector<std::string>{"https://example.org/"});
    EXPECT_TRUE(link.isVisited());
    EXPECT_FALSE(link.isPointerOver());
    // Still under the pointer, but drawn as visited; the underline stays.
    EXPECT_EQ(drawnColor(), QColor(85, 26, 139));
    EXPECT_TRUE(control->font().underline());
    EXPECT_EQ(beeps, 0);
    EXPECT_TRUE(answers.shown.empty());

    moveOver();
    EXPECT_EQ(drawnColor(), QColor(255, 0, 0));

    opener.desktopOpens = false;
    clickLink();
    EXPECT_FALSE(link.isVisited());
    EXPECT_EQ(drawnColor(), QColor(0, 0, 238));
    EXPECT_EQ(beeps, 1);
    ASSERT_EQ(answers.shown.size(), 1u);
    EXPECT_EQ(answers.shown[0].caption, "Kestrova");
    EXPECT_EQ(answers.shown[0].text, "Unable to open hyperlink:\n\nThere is no application "
                                     "associated\nwith the given filename extension.");
    EXPECT_EQ(answers.shown[0].style, BoxStyle::OkExclamation);
}

} // namespace
} // namespace kestrova
