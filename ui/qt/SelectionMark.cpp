// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/qt/SelectionMark.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

namespace kestrova {

SelectionMark::SelectionMark(QAbstractItemView* list) : QObject(list), list_(list) {
    // A click moves the cursor before it selects, the keyboard selects before it
    // moves the cursor: so the mark is taken whenever the cursor row is selected.
    QItemSelectionModel* selection = list->selectionModel();
    connect(selection, &QItemSelectionModel::currentChanged, this, &SelectionMark::follow);
    connect(selection, &QItemSelectionModel::selectionChanged, this, &SelectionMark::follow);
}

int SelectionMark::row() const {
    return mark_.isValid() ? mark_.row() : -1;
}

void SelectionMark::follow() {
    const QModelIndex current = list_->selectionModel()->currentIndex();
    if (current.isValid() && list_->selectionModel()->isSelected(current)) {
        mark_ = current;
    }
}

} // namespace kestrova
