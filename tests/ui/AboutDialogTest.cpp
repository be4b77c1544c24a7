#include "ui/AboutDialog.h"

#include "EventLoop.h"
#include "PresetAnswers.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace kestrova {
namespace {

QStringList labelTexts(const QWidget& dialog) {
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        texts << label->text();
    }
    return texts;
}

TEST(AboutDialog, ShowsItsLinesAndABlankLinkPlace) {
    test::PresetAnswers answers;
    MessageBoxRoutine routine(answers);
    AboutDialog about(routine);
    EXPECT_EQ(about.windowTitle(), QStringLiteral("關于Kestrova"));
    const QStringList texts = labelTexts(about);
    EXPECT_TRUE(texts.contains(QStringLiteral("Kestrova 2.0 版")));
    EXPECT_TRUE(texts.contains(QStringLiteral("公司网址：")));
    EXPECT_EQ(about.controlAs<QPushButton>(1)->text(), QStringLiteral("确定"));
    EXPECT_TRUE(about.controlAs<QPushButton>(1)->isDefault());

    QLabel* place = about.controlAs<QLabel>(AboutDialog::kLinkId);
    ASSERT_NE(place, nullptr);
    EXPECT_EQ(about.link.control(), place);
    EXPECT_EQ(about.link.url(), "");
    EXPECT_TRUE(place->text().isEmpty());
    EXPECT_TRUE(place->toolTip().isEmpty());
    EXPECT_EQ(place->width(), 0);
    EXPECT_EQ(place->pos(), DialogToPixels({63, 70, 93, 8}, about.baseUnits()).topLeft());
}

TEST(AboutDialog, OpensCentredWithTheFocusOnOkAndEndsWithOk) {
    test::PresetAnswers answers;
    MessageBoxRoutine routine(answers);
    QWidget owner;
    owner.setGeometry(100, 100, 600, 400);
    owner.show();

    struct {
        QRect geometry;
        bool okHasFocus = false;
    } seen;
    QTimer::singleShot(0, [&] {
        auto* about = qobject_cast<AboutDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(about, nullptr);
        seen.geometry = about->frameGeometry();
        seen.okHasFocus = about->focusWidget() == about->control(1);
        about->controlAs<QPushButton>(1)->click();
    });
    AboutDialog about(routine, &owner);
    EXPECT_EQ(about.exec(), QDialog::Accepted);
    EXPECT_TRUE(seen.okHasFocus);
    EXPECT_LE(std::abs(seen.geometry.center().x() - owner.frameGeometry().center().x()), 1);
    EXPECT_LE(std::abs(seen.geometry.center().y() - owner.frameGeometry().center().y()), 1);
}

} // namespace
} // namespace kestrova
