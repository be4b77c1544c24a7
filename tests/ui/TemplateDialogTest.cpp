// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/qt/TemplateDialog.h"
#include "res/DialogTemplate.h"
#include "ui/qt/CommandTable.h"
#include "ui/qt/DialogUnits.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

namespace kestrova {
namespace {

TEST(DialogUnits, RoundsHalfAwayFromZeroLikeTheWindowSystem) {
    EXPECT_EQ(MulDiv(7, 6, 4), 11);   // 10.5
    EXPECT_EQ(MulDiv(5, 6, 4), 8);    // 7.5
    EXPECT_EQ(MulDiv(-7, 6, 4), -11); // -10.5
    EXPECT_EQ(MulDiv(7, 6, -4), -11);
    EXPECT_EQ(MulDiv(233, 12, 8), 350); // 349.5
    EXPECT_EQ(MulDiv(0, 6, 4), 0);
}

TEST(DialogUnits, ConvertsPositionAndSizeSeparately) {
    // With 6 x 12 base units (the template font at 96 dpi) x = 7 and width = 7 both give 11,
    // though 7 + 7 = 14 would give 21: the right edge is not converted on its own.
    const QRect rect = DialogToPixels({7, 7, 7, 7}, {6, 12});
    EXPECT_EQ(rect, QRect(11, 11, 11, 11));
    EXPECT_EQ(DialogToPixels({265, 121, 50, 14}, {6, 12}), QRect(398, 182, 75, 21));
    EXPECT_EQ(DialogSizeToPixels(322, 249, {7, 13}), QSize(564, 405));
}

// The templates' controls as written out here, apart from the tables the dialogs are
// built from: identifier, text and dialog-unit rectangle, in template order.
using Controls = std::vector<std::tuple<int, std::string, int, int, int, int>>;

Controls ControlsOf(const DialogTemplate& dialog) {
    Controls controls;
    for (const ControlTemplate& c : dialog.controls) {
        controls.emplace_back(c.id, c.text, c.rect.x, c.rect.y, c.rect.width, c.rect.height);
    }
    return controls;
}

TEST(DialogTemplates, HoldTheirIdentifiersTextsAndRectangles) {
    const struct {
        const DialogTemplate& dialog;
        int id;
        std::string caption;
        int width, height;
        Controls controls;
    } expected[] = {
        {MainDialogTemplate(),
         102,
         "Kestrova",
         322,
         249,
         {{65535, "同步設置", 7, 117, 249, 110},
          {1004, "...", 7, 233, 308, 9},
          {1007, "開始同步", 265, 121, 50, 14},
          {1009, "刪除已經不存在的目錄和文件", 15, 133, 120, 10},
          {1008, "停止同步", 265, 139, 50, 14},
          {1010, "", 15, 151, 232, 66},
          {1011, "關于", 265, 213, 50, 14},
          {1012, "List1", 7, 7, 248, 104},
          {1013, "添加備份", 265, 7, 50, 14},
          {1014, "刪除備份", 265, 22, 50, 14},
          {1019, "選擇所有", 265, 41, 50, 14},
          {1020, "取消選擇", 265, 56, 50, 14},
          {1021, "預覽同步", 265, 157, 50, 14},
          {1022, "舊文件移到回收站", 140, 133, 107, 10}}},
        {PairDialogTemplate(),
         131,
         "備份",
         212,
         103,
         {{1014, "", 51, 32, 129, 14},
          {1016, "...", 184, 32, 18, 14},
          {1015, "", 51, 51, 129, 14},
          {1017, "...", 184, 51, 18, 14},
          {1, "确定", 36, 82, 50, 14},
          {2, "取消", 126, 82, 50, 14},
          {65535, "源目錄", 13, 35, 25, 8},
          {65535, "目的目錄", 13, 53, 33, 8},
          {65535, "輸入備份的原始目錄和目標目錄", 13, 13, 113, 8}}},
        {AboutDialogTemplate(),
         100,
         "關于Kestrova",
         235,
         99,
         {{65535, "128", 11, 17, 20, 20},
          {65535, "Kestrova 2.0 版", 40, 10, 119, 8},
          {65535, "(C) 2026 Kestrova developers", 40, 25, 132, 8},
          {1, "确定", 178, 7, 50, 14},
          {65535, "公司网址：", 17, 70, 41, 8},
          {65535, "Under the MIT licence, without any warranty.", 17, 47, 201, 8},
          {1011, "", 63, 70, 93, 8}}},
    };
    for (const auto& want : expected) {
        SCOPED_TRACE(want.id);
        EXPECT_EQ(want.dialog.id, want.id);
        EXPECT_EQ(want.dialog.caption, want.caption);
        EXPECT_EQ(std::string(want.dialog.fontName) + " " +
                      std::to_string(want.dialog.fontPointSize),
                  "宋体 9");
        EXPECT_EQ(want.dialog.rect.width, want.width);
        EXPECT_EQ(want.dialog.rect.height, want.height);
        EXPECT_EQ(ControlsOf(want.dialog), want.controls);
    }
}

TEST(TemplateDialog, BuildsEveryControlFindableByItsIdentifier) {
    const DialogTemplate& main = MainDialogTemplate();
    TemplateDialog dialog(main);
    EXPECT_EQ(dialog.windowTitle(), "Kestrova");
    EXPECT_EQ(dialog.size(),
              DialogSizeToPixels(main.rect.width, main.rect.height, dialog.baseUnits()));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());

    for (const ControlTemplate& control : main.controls) {
        if (control.id == kNoControlId) {
            continue;
        }
        QWidget* widget = dialog.control(control.id);
        ASSERT_NE(widget, nullptr) << control.id;
        EXPECT_EQ(widget->objectName(), QString::number(control.id));
        EXPECT_EQ(dialog.findChild<QWidget*>(QString::number(control.id)), widget);
        EXPECT_EQ(widget->geometry(), DialogToPixels(control.rect, dialog.baseUnits()))
            << control.id;
    }
    EXPECT_EQ(dialog.control(4242), nullptr);
    EXPECT_NE(dialog.controlAs<QCheckBox>(1009), nullptr);
    EXPECT_NE(dialog.controlAs<QPlainTextEdit>(1010), nullptr);
    EXPECT_NE(dialog.controlAs<QTableWidget>(1012), nullptr);
    EXPECT_NE(dialog.controlAs<QLabel>(1004), nullptr);
    EXPECT_EQ(dialog.findChildren<QGroupBox*>().size(), 1);
    EXPECT_FALSE(dialog.control(1008)->isEnabled());
    EXPECT_TRUE(dialog.controlAs<QPlainTextEdit>(1010)->isReadOnly());
}

TEST(TemplateDialog, TabStopsFollowTemplateOrderAndStartAtTheFirstEnabledOne) {
    TemplateDialog dialog(MainDialogTemplate());
    dialog.show();
    EXPECT_EQ(dialog.focusWidget(), dialog.control(1007));

    // 1008 is disabled; the group box and the status line are no tab stops.
    const std::vector<int> expected = {1009, 1010, 1011, 1012, 1013, 1014,
                                       1019, 1020, 1021, 1022, 1007};
    std::vector<int> order;
    QWidget* widget = dialog.control(1007);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        widget = widget->nextInFocusChain();
        while (!(widget->focusPolicy() & Qt::TabFocus) || !widget->isEnabled() ||
               widget == &dialog) {
            widget = widget->nextInFocusChain();
        }
        order.push_back(widget->objectName().toInt());
    }
    EXPECT_EQ(order, expected);
}

class Commanded : public TemplateDialog {
public:
    Commanded() : TemplateDialog(MainDialogTemplate()) {}
    void onStart() { ++starts; }
    void onListDoubleClick() { ++doubleClicks; }
    int starts = 0;
    int doubleClicks = 0;
};

TEST(CommandTable, RoutesNotificationsToTheTablesHandlers) {
    Commanded dialog;
    const CommandEntry<Commanded> table[] = {
        {1007, Notification::Clicked, &Commanded::onStart},
        {1012, Notification::DoubleClicked, &Commanded::onListDoubleClick},
    };
    EXPECT_TRUE(BindCommands(dialog, std::span<const CommandEntry<Commanded>>(table)));
    dialog.show();

    dialog.controlAs<QPushButton>(1007)->click();
    EXPECT_EQ(dialog.starts, 1);

    // A double-click on the list's empty area counts too.
    QWidget* viewport = dialog.controlAs<QTableWidget>(1012)->viewport();
    const QPointF point(viewport->width() / 2.0, viewport->height() - 5.0);
    QMouseEvent event(QEvent::MouseButtonDblClick, point, viewport->mapToGlobal(point),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
    QApplication::processEvents();
    EXPECT_EQ(dialog.doubleClicks, 1);
}

TEST(CommandTable, RefusesMissingControlsAndUnsuitableNotifications) {
    Commanded dialog;
    const CommandEntry<Commanded> missing[] = {{4242, Notification::Clicked, &Commanded::onStart}};
    EXPECT_FALSE(BindCommands(dialog, std::span<const CommandEntry<Commanded>>(missing)));
    const CommandEntry<Commanded> unsuitable[] = {
        {1004, Notification::Clicked, &Commanded::onStart}};
    EXPECT_FALSE(BindCommands(dialog, std::span<const CommandEntry<Commanded>>(unsuitable)));
}

} // namespace
} // namespace kestrova
