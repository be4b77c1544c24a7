// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/qt/ReportPane.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <QWheelEvent>
#include <algorithm>

namespace kestrova {

namespace {

// The room around the text, as a multi-line edit leaves it.
constexpr int kMargin = 4;
// Layouts kept before the oldest are dropped: a few screens of rows.
constexpr std::size_t kLayoutsKept = 512;
constexpr int kAutoScrollMs = 50;
constexpr int kWheelStep = 120;

// The shortcut after a menu text, where the desktop shows shortcuts in menus.
QString ShortcutSuffix(QKeySequence::StandardKey key) {
    if (!QGuiApplication::styleHints()->showShortcutsInContextMenus()) {
        return {};
    }
    return QLatin1Char('\t') + QKeySequence(key).toString(QKeySequence::NativeText);
}

} // namespace

ReportPane::ReportPane(QWidget* parent) : QAbstractScrollArea(parent) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setCursor(Qt::IBeamCursor);
    // Read-only text is drawn on the dialog's face colour, not the input colour.
    QPalette shown = palette();
    shown.setColor(QPalette::Base, shown.color(QPalette::Window));
    setPalette(shown);
    m_rowHeight = std::max(1, fontMetrics().height());
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (!m_settingScrollBar) {
            scrollTo({static_cast<std::size_t>(value), 0});
        }
    });
    updateScrollRange();
}

ReportPane::~ReportPane() = default;

void ReportPane::clear() {
    m_lines.clear();
    forgetLayouts();
    showFromTop();
}

void ReportPane::append(std::string_view text) {
    m_lines.append(text);
    forgetLayouts();
}

void ReportPane::showFromTop() {
    m_anchor = m_cursor = {};
    m_top = {};
    updateScrollRange();
    viewport()->update();
}

void ReportPane::forgetLayouts() {
    m_layouts.clear();
}

QString ReportPane::lineText(std::size_t line) const {
    const std::string& bytes = m_lines.line(line);
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QTextLayout& ReportPane::layout(std::size_t line) const {
    const auto found = m_layouts.find(line);
    if (found != m_layouts.end()) {
        return *found->second;
    }
    if (m_layouts.size() >= kLayoutsKept) {
        m_layouts.clear();
    }
    auto made = std::make_unique<QTextLayout>(lineText(line), font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    made->setTextOption(option);
    made->setCacheEnabled(true);
    const qreal width = std::max(1, viewport()->width() - 2 * kMargin);
    made->beginLayout();
    for (int row = 0;; ++row) {
        QTextLine text = made->createLine();
        if (!text.isValid()) {
            break;
        }
        text.setLineWidth(width);
        text.setPosition(QPointF(0, row * m_rowHeight));
    }
    made->endLayout();
    return *m_layouts.emplace(line, std::move(made)).first->second;
}

int ReportPane::layoutRows(const QTextLayout& layout) {
    return std::max(1, layout.lineCount());
}

// Counted as an edit control counts them, with the room above the text.
int ReportPane::rowsShown() const {
    return std::max(1, (viewport()->height() - kMargin - 1) / m_rowHeight);
}

// The room above the text shows only at its top, as in an edit control.
int ReportPane::firstRowY() const {
    return m_top == Row{} ? kMargin : 0;
}

// The scroll bar counts lines; wrapped rows are reached by the keys and the wheel.
// Its end shows the text's last row at the bottom of the pane.
void ReportPane::updateScrollRange() {
    int rows = rowsShown();
    std::size_t line = m_lines.lineCount() - 1;
    for (;;) {
        const int lineRows = rowCount(line);
        if (lineRows >= rows) {
            m_lastTop = {line, lineRows - rows};
            break;
        }
        rows -= lineRows;
        if (line == 0) {
            m_lastTop = {};
            break;
        }
        --line;
    }
    m_top = std::min(m_top, m_lastTop);
    m_settingScrollBar = true;
    verticalScrollBar()->setRange(0,
                                  static_cast<int>(std::min<std::size_t>(m_lastTop.line, INT_MAX)));
    verticalScrollBar()->setPageStep(rowsShown());
    verticalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setValue(static_cast<int>(m_top.line));
    m_settingScrollBar = false;
}

void ReportPane::scrollTo(Row top) {
    m_top = std::min(top, m_lastTop);
    m_settingScrollBar = true;
    verticalScrollBar()->setValue(static_cast<int>(m_top.line));
    m_settingScrollBar = false;
    viewport()->update();
}

void ReportPane::scrollRows(int rows) {
    Row top = m_top;
    for (; rows > 0 && top < m_lastTop; --rows) {
        if (top.row + 1 < rowCount(top.line)) {
            ++top.row;
        } else {
            top = {top.line + 1, 0};
        }
    }
    for (; rows < 0 && top > Row{}; ++rows) {
        if (top.row > 0) {
            --top.row;
        } else {
            top = {top.line - 1, rowCount(top.line - 1) - 1};
        }
    }
    scrollTo(top);
}

void ReportPane::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QPalette& colours = palette();
    painter.setPen(colours.color(QPalette::Text));
    const Position start = std::min(m_anchor, m_cursor);
    const Position end = std::max(m_anchor, m_cursor);
    QTextCharFormat selected;
    selected.setBackground(colours.brush(QPalette::Highlight));
    selected.setForeground(colours.brush(QPalette::HighlightedText));

    int y = firstRowY() - m_top.row * m_rowHeight;
    const int bottom = event->rect().bottom();
    for (std::size_t line = m_top.line; line < m_lines.lineCount() && y <= bottom; ++line) {
        QTextLayout& text = layout(line);
        QList<QTextLayout::FormatRange> selections;
        if (start != end && start.line <= line && line <= end.line) {
            const int from = line == start.line ? start.offset : 0;
            const int to = line == end.line ? end.offset : static_cast<int>(text.text().size());
            if (to > from) {
                selections.append({from, to - from, selected});
            }
        }
        text.draw(&painter, QPointF(kMargin, y), selections, event->rect());
        y += layoutRows(text) * m_rowHeight;
    }
}

void ReportPane::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    forgetLayouts();
    updateScrollRange();
}

void ReportPane::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_rowHeight = std::max(1, fontMetrics().height());
        forgetLayouts();
        updateScrollRange();
    }
}

ReportPane::Position ReportPane::endOfText() const {
    const std::size_t last = m_lines.lineCount() - 1;
    return {last, static_cast<int>(lineText(last).size())};
}

// Above the text the first row shown counts, below it the last row of the text.
ReportPane::Position ReportPane::positionAt(QPoint point) const {
    int y = firstRowY() - m_top.row * m_rowHeight;
    const int wanted = std::max(point.y(), 0);
    for (std::size_t line = m_top.line; line < m_lines.lineCount(); ++line) {
        QTextLayout& text = layout(line);
        const int rows = layoutRows(text);
        const bool last = line + 1 == m_lines.lineCount();
        if (wanted < y + rows * m_rowHeight || last) {
            const int row = std::clamp((wanted - y) / m_rowHeight,
                                       line == m_top.line ? m_top.row : 0, rows - 1);
            if (text.lineCount() == 0) {
                return {line, 0};
            }
            const QTextLine shown = text.lineAt(row);
            return {line, shown.xToCursor(point.x() - kMargin)};
        }
        y += rows * m_rowHeight;
    }
    return endOfText();
}

QString ReportPane::selectedText() const {
    const Position start = std::min(m_anchor, m_cursor);
    const Position end = std::max(m_anchor, m_cursor);
    if (start == end) {
        return {};
    }
    if (start.line == end.line) {
        return lineText(start.line).mid(start.offset, end.offset - start.offset);
    }
    QString text = lineText(start.line).mid(start.offset);
    text += QLatin1Char('\n');
    if (end.line > start.line + 1) {
        const std::string middle = m_lines.joined(start.line + 1, end.line - 1);
        text += QString::fromUtf8(middle.data(), static_cast<qsizetype>(middle.size()));
        text += QLatin1Char('\n');
    }
    text += lineText(end.line).left(end.offset);
    return text;
}

void ReportPane::copy() {
    if (hasSelection()) {
        QGuiApplication::clipboard()->setText(selectedText());
    }
}

void ReportPane::selectAll() {
    m_anchor = {};
    m_cursor = endOfText();
    viewport()->update();
}

// The texts are the toolkit's own, so they come in the language of its other menus.
QMenu* ReportPane::createStandardContextMenu() {
    auto* menu = new QMenu(this);
    QAction* copyAction =
        menu->addAction(QCoreApplication::translate("QWidgetTextControl", "&Copy") +
                            ShortcutSuffix(QKeySequence::Copy),
                        this, &ReportPane::copy);
    copyAction->setObjectName(QStringLiteral("edit-copy"));
    copyAction->setEnabled(hasSelection());
    menu->addSeparator();
    QAction* all = menu->addAction(QCoreApplication::translate("QWidgetTextControl", "Select All") +
                                       ShortcutSuffix(QKeySequence::SelectAll),
                                   this, &ReportPane::selectAll);
    all->setObjectName(QStringLiteral("select-all"));
    all->setEnabled(m_lines.lineCount() > 1 || !m_lines.line(0).empty());
    return menu;
}

// Keys that would move a caret scroll instead; the others go on to the dialog
// (Enter, Escape, Tab).
void ReportPane::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::Copy) {
        copy();
        return;
    }
    if (event == QKeySequence::SelectAll) {
        selectAll();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Up:
        scrollRows(-1);
        return;
    case Qt::Key_Down:
        scrollRows(1);
        return;
    case Qt::Key_PageUp:
        scrollRows(-rowsShown());
        return;
    case Qt::Key_PageDown:
        scrollRows(rowsShown());
        return;
    case Qt::Key_Home:
        scrollTo({});
        return;
    case Qt::Key_End:
        scrollTo(m_lastTop);
        return;
    default:
        event->ignore();
    }
}

void ReportPane::wheelEvent(QWheelEvent* event) {
    m_wheelRemainder += event->angleDelta().y();
    const int steps = m_wheelRemainder / kWheelStep;
    m_wheelRemainder -= steps * kWheelStep;
    scrollRows(-steps * QApplication::wheelScrollLines());
    event->accept();
}

void ReportPane::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_cursor = positionAt(event->position().toPoint());
    if (!(event->modifiers() & Qt::ShiftModifier)) {
        m_anchor = m_cursor;
    }
    m_selecting = true;
    viewport()->update();
}

void ReportPane::extendSelectionTo(QPoint point) {
    m_mouse = point;
    const bool outside = point.y() < 0 || point.y() >= viewport()->height();
    if (outside && !m_autoScroll.isActive()) {
        m_autoScroll.start(kAutoScrollMs, this);
    } else if (!outside) {
        m_autoScroll.stop();
    }
    m_cursor = positionAt(point);
    viewport()->update();
}

void ReportPane::mouseMoveEvent(QMouseEvent* event) {
    if (m_selecting && (event->buttons() & Qt::LeftButton)) {
        extendSelectionTo(event->position().toPoint());
    }
}

void ReportPane::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_autoScroll.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    scrollRows(m_mouse.y() < 0 ? -1 : 1);
    const int lastRow = viewport()->height() - 1;
    extendSelectionTo(QPoint(m_mouse.x(), std::clamp(m_mouse.y(), 0, lastRow)));
    m_mouse.setY(m_mouse.y() < 0 ? -1 : lastRow + 1);
}

void ReportPane::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_selecting) {
        event->ignore();
        return;
    }
    m_selecting = false;
    m_autoScroll.stop();
    // Where the desktop has a selection clipboard, the selected text is offered there.
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (hasSelection() && clipboard->supportsSelection()) {
        clipboard->setText(selectedText(), QClipboard::Selection);
    }
}

void ReportPane::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const Position at = positionAt(event->position().toPoint());
    const QString text = lineText(at.line);
    QTextBoundaryFinder words(QTextBoundaryFinder::Word, text);
    words.setPosition(at.offset);
    const int start =
        words.isAtBoundary() ? at.offset : static_cast<int>(words.toPreviousBoundary());
    words.setPosition(at.offset);
    const int end = static_cast<int>(words.toNextBoundary());
    m_anchor = {at.line, std::max(start, 0)};
    m_cursor = {at.line, end < 0 ? static_cast<int>(text.size()) : end};
    m_selecting = true;
    viewport()->update();
}

void ReportPane::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void ReportPane::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

} // namespace kestrova
