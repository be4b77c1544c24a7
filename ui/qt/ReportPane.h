// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// The report pane: a read-only, multi-line text that wraps at the pane's width, with
// a vertical scroll bar, drawn on the dialog's face colour. It shows a view of its
// text (ReportLines, kept in temporary files) and lays out only the lines on screen,
// so a report of millions of paths costs neither memory nor time to show. The text
// can be selected with the mouse and copied (Ctrl+C, or the pane's menu), and Select
// All (Ctrl+A) takes all of it; the keys that move through the text scroll it.

#include "ui/ReportLines.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QString>
#include <cstddef>
#include <map>
#include <memory>
#include <string_view>

class QMenu;
class QTextLayout;

namespace kestrova {

class ReportPane : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit ReportPane(QWidget* parent = nullptr);
    ~ReportPane() override;

    // A new text is made by clear() and append(), then shown by showFromTop().
    // Emptied, the pane shows nothing, from the top.
    void clear();
    void append(std::string_view text);
    // Shows the text from its first line with nothing selected, as a replaced text is.
    void showFromTop();

    bool hasSelection() const { return m_anchor != m_cursor; }
    QString selectedText() const;
    // The pane's own commands, Copy and Select All, in a menu the caller owns.
    QMenu* createStandardContextMenu();

public slots:
    void copy();
    void selectAll();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    // A place in the text: a line and a place in it, counted in UTF-16 units.
    struct Position {
        std::size_t line = 0;
        int offset = 0;
        auto operator<=>(const Position&) const = default;
    };
    // The first row shown: a line and, when it wraps, one of its rows.
    struct Row {
        std::size_t line = 0;
        int row = 0;
        auto operator<=>(const Row&) const = default;
    };

    QTextLayout& layout(std::size_t line) const;
    int rowCount(std::size_t line) const { return layoutRows(layout(line)); }
    static int layoutRows(const QTextLayout& layout);
    QString lineText(std::size_t line) const;
    // Lays out again whatever depends on the width, the font or the text.
    void forgetLayouts();
    // How many rows fit, and where the first row shown is drawn.
    int rowsShown() const;
    int firstRowY() const;
    // Finds the last first row, which shows the text's end at the bottom.
    void updateScrollRange();
    void scrollRows(int rows);
    void scrollTo(Row top);
    Position positionAt(QPoint point) const;
    Position endOfText() const;
    // Follows the mouse while it selects, scrolling when it has left the pane.
    void extendSelectionTo(QPoint point);

    ReportLines m_lines;
    // Layouts of the lines last shown, at the current width; a few screens' worth.
    mutable std::map<std::size_t, std::unique_ptr<QTextLayout>> m_layouts;
    int m_rowHeight = 1;
    Row m_top;
    Row m_lastTop;
    bool m_settingScrollBar = false;
    Position m_anchor;
    Position m_cursor;
    bool m_selecting = false;
    QPoint m_mouse;
    QBasicTimer m_autoScroll;
    int m_wheelRemainder = 0;
};

} // namespace kestrova
