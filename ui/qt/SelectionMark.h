// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QObject>
#include <QPersistentModelIndex>

class QAbstractItemView;

namespace kestrova {

// The selection mark of a list: the row that last received the selection. Unlike
// the focus cursor, which a list places on its first row when it gains the focus,
// it is set only by selecting, so a list nobody has selected in has none. It
// follows its row when rows above it are inserted or removed and is gone with it.
class SelectionMark : public QObject {
    Q_OBJECT
public:
    explicit SelectionMark(QAbstractItemView* list);

    // The marked row, or -1 when there is none.
    int row() const;

private:
    void follow();

    QAbstractItemView* list_;
    QPersistentModelIndex mark_;
};

} // namespace kestrova
