// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// The main window's list of folder pairs (control 1012), the only store of the pairs
// while the program runs. A report-style list: columns "源目錄", "目標目錄" and "狀態",
// a check box on each row, grid lines, full-row and multiple selection.
//
// The paths are kept as the exact bytes they were given (a name that is not valid
// UTF-8 is shown with replacement characters but read back unchanged), so a pair
// loaded from the file reaches the run and the file again byte for byte.

#include "settings/PairListAccess.h"

#include <QTableWidget>
#include <string>

namespace kestrova {

class PairList : public QTableWidget, public PairListAccess {
    Q_OBJECT
public:
    // Check-box state images, as the run reads them.
    static constexpr int kUnchecked = 1;
    static constexpr int kChecked = 2;

    explicit PairList(QWidget* parent = nullptr);

    int rowCount() const override;
    std::string rowText(int row, int column) const override;
    void appendRow(const std::string& source, const std::string& target) override;

    void setRowText(int row, int column, const std::string& text);
    // The row's check-box state image; a row that does not exist reads as unchecked,
    // so nothing is ever done for it.
    int checkState(int row) const;
    void setChecked(int row, bool checked);
    void setAllChecked(bool checked);

    // Deletes every selected row; returns how many were deleted.
    int deleteSelectedRows();

    const QPixmap& smallImage() const { return m_smallImage; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPixmap m_smallImage;
};

} // namespace kestrova
