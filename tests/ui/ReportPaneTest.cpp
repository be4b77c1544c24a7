// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/qt/ReportPane.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <gtest/gtest.h>
#include <string>

namespace kestrova {
namespace {

void Key(QWidget* pane, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(pane, &press);
}

void Mouse(QWidget* viewport, QEvent::Type type, QPoint at,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), viewport->mapToGlobal(QPointF(at)), Qt::LeftButton, held,
                      modifiers);
    QApplication::sendEvent(viewport, &event);
}

// Selects with the mouse from the start of one row shown to `toX` in another.
QString Dragged(ReportPane& pane, int fromRow, int toRow, int toX = 0) {
    const int rowHeight = pane.fontMetrics().height();
    const auto inRow = [&](int row, int x) {
        return QPoint(x, 4 + row * rowHeight + rowHeight / 2);
    };
    Mouse(pane.viewport(), QEvent::MouseButtonPress, inRow(fromRow, 0));
    Mouse(pane.viewport(), QEvent::MouseMove, inRow(toRow, toX));
    Mouse(pane.viewport(), QEvent::MouseButtonRelease, inRow(toRow, toX));
    return pane.selectedText();
}

// Lines end as in an edit control, wherever the pieces of text break; the text beyond
// the lines read last is read back exactly, and the mouse and the keys see the rows
// the pane shows wherever it is scrolled.
TEST(ReportPaneTest, SelectsAndCopiesExactlyTheLinesShownWhereverItIsScrolled) {
    ReportPane pane;
    pane.resize(300, 120);
    pane.show();
    Mouse(pane.viewport(), QEvent::MouseButtonPress, {5, 5}); // an empty pane
    EXPECT_FALSE(pane.hasSelection());

    std::string text = "one\r";
    pane.append(text);
    pane.append("\ntwo\rthree\n");
    QString expected = "one\ntwo\nthree\n";
    for (int i = 0; i < 3000; ++i) {
        const std::string line = "line " + std::to_string(i);
        pane.append(line + "\r\n");
        expected += QString::fromStdString(line) + "\n";
    }
    pane.append("last");
    expected += "last";
    pane.showFromTop();

    QApplication::clipboard()->clear();
    Key(&pane, Qt::Key_A, Qt::ControlModifier);
    Key(&pane, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), expected);

    EXPECT_EQ(Dragged(pane, 1, 3), "two\nthree\n");
    Key(&pane, Qt::Key_End);
    QScrollBar* bar = pane.verticalScrollBar();
    EXPECT_EQ(bar->value(), bar->maximum());
    const int top = bar->value();
    EXPECT_GT(top, 2990);
    // The last rows fill the pane: the text's last line is on its last row.
    const int rows = (pane.viewport()->height() - 5) / pane.fontMetrics().height();
    EXPECT_EQ(top + rows, 3004);
    EXPECT_EQ(Dragged(pane, 0, 1), QString("line %1\n").arg(top - 3));
    Key(&pane, Qt::Key_Up);
    EXPECT_EQ(bar->value(), top - 1);
    EXPECT_EQ(Dragged(pane, 0, 1), QString("line %1\n").arg(top - 4));
    Key(&pane, Qt::Key_Home);
    EXPECT_EQ(bar->value(), 0);

    // A line wider than the pane wraps into rows the keys step through.
    pane.clear();
    pane.append(std::string(2000, 'w') + "\r\nend");
    pane.showFromTop();
    EXPECT_EQ(bar->maximum(), 0);
    Key(&pane, Qt::Key_Down);
    const QString secondRow = Dragged(pane, 0, 1);
    EXPECT_FALSE(secondRow.isEmpty());
    EXPECT_EQ(secondRow, QString(secondRow.size(), 'w'));
    Key(&pane, Qt::Key_End);
    const int lastRow = (pane.viewport()->height() - 5) / pane.fontMetrics().height() - 1;
    EXPECT_EQ(Dragged(pane, lastRow, lastRow, 250), "end");
}

} // namespace
} // namespace kestrova
