// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/qt/PairList.h"

#include "i18n/Translate.h"
#include "res/ResourceImages.h"
#include "res/StringTable.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <algorithm>

namespace kestrova {

namespace {

constexpr int kColumns = 3;
constexpr int kBytesRole = Qt::UserRole;

// A cell shows its text, shortened in the middle when it is too long, and the whole
// text as its tool tip; it keeps the exact bytes it was given.
void SetCellText(QTableWidgetItem& cell, const std::string& bytes) {
    const QString text = QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    cell.setText(text);
    cell.setToolTip(text);
    cell.setData(kBytesRole, QByteArray(bytes.data(), qsizetype(bytes.size())));
}

QTableWidgetItem* NewCell(const std::string& bytes) {
    auto* item = new QTableWidgetItem;
    SetCellText(*item, bytes);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

PairList::PairList(QWidget* parent) : QTableWidget(0, kColumns, parent) {
    setHorizontalHeaderLabels({QString::fromUtf8(Translate("源目錄")),
                               QString::fromUtf8(Translate("目標目錄")),
                               QString::fromUtf8(Translate("狀態"))});
    QHeaderView* header = horizontalHeader();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setSectionsClickable(false);
    setColumnWidth(0, 150);
    setColumnWidth(1, 150);
    setColumnWidth(2, 40);
    verticalHeader()->hide();
    // The small-image list (bitmap 132, magenta transparent) sets the row height; rows
    // themselves carry text only.
    m_smallImage = MaskedBitmap(kFoldersBitmapId, QColor(0xFF, 0x00, 0xFF));
    setIconSize(QSize(16, 16));
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(std::max(fontMetrics().height(), iconSize().height()) +
                                            2);

    setShowGrid(true);
    setWordWrap(false);
    // The ends of a path tell most: the root and the folder's own name.
    setTextElideMode(Qt::ElideMiddle);
    // The list is one tab stop: Tab leaves it, the arrows move inside it.
    setTabKeyNavigation(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
}

int PairList::rowCount() const {
    return QTableWidget::rowCount();
}

std::string PairList::rowText(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    if (cell == nullptr) {
        return {};
    }
    const QByteArray bytes = cell->data(kBytesRole).toByteArray();
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

void PairList::appendRow(const std::string& source, const std::string& target) {
    const int row = QTableWidget::rowCount();
    insertRow(row);
    QTableWidgetItem* first = NewCell(source);
    first->setFlags(first->flags() | Qt::ItemIsUserCheckable);
    first->setCheckState(Qt::Unchecked);
    setItem(row, 0, first);
    setItem(row, 1, NewCell(target));
    setItem(row, 2, NewCell({}));
}

void PairList::setRowText(int row, int column, const std::string& text) {
    QTableWidgetItem* cell = item(row, column);
    if (cell == nullptr) {
        return;
    }
    SetCellText(*cell, text);
}

void PairList::keyPressEvent(QKeyEvent* event) {
    // Space sets or clears the check mark of the current row, whichever cell is current.
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        const int row = currentRow();
        if (row >= 0) {
            setChecked(row, checkState(row) != kChecked);
        }
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

int PairList::checkState(int row) const {
    const QTableWidgetItem* cell = item(row, 0);
    return cell != nullptr && cell->checkState() == Qt::Checked ? kChecked : kUnchecked;
}

void PairList::setChecked(int row, bool checked) {
    if (QTableWidgetItem* cell = item(row, 0)) {
        cell->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    }
}

void PairList::setAllChecked(bool checked) {
    for (int row = 0; row < rowCount(); ++row) {
        setChecked(row, checked);
    }
}

int PairList::deleteSelectedRows() {
    int deleted = 0;
    for (int row = 0; row < rowCount();) {
        if (selectionModel()->isRowSelected(row, QModelIndex())) {
            removeRow(row);
            ++deleted;
        } else {
            ++row;
        }
    }
    return deleted;
}

} // namespace kestrova
