// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// The main window's list of folder pairs (control 1012), the only store of the pairs
// while the program runs: a report-style list view with the columns "源目錄",
// "目標目錄" and "狀態", a check box on each row, grid lines, full-row and multiple
// selection. Paths go in and out as UTF-8.

#include "settings/PairListAccess.h"

#include <windows.h>

#include <string>

namespace kestrova::win32 {

class PairList : public PairListAccess {
public:
    // Check-box state images, as the run reads them.
    static constexpr int kUnchecked = 1;
    static constexpr int kChecked = 2;

    PairList() = default;
    // Takes the list view made from the template and gives it its columns, styles and
    // small-image list.
    void attach(HWND listView);
    HWND hwnd() const { return m_list; }

    int rowCount() const override;
    std::string rowText(int row, int column) const override;
    void appendRow(const std::string& source, const std::string& target) override;

    void setRowText(int row, int column, const std::string& text);
    // The row's check-box state image; a row that does not exist reads as unchecked.
    int checkState(int row) const;
    void setChecked(int row, bool checked);
    void setAllChecked(bool checked);
    // Selects or deselects one row.
    void select(int row, bool selected);
    // Deletes every selected row; returns how many were deleted.
    int deleteSelectedRows();
    // The row that last received the selection, or -1.
    int selectionMark() const;
    // When no row has the focus, gives it to the selection mark's row or else the first,
    // so that Space reaches a row as soon as the list has the keyboard.
    void focusSomeRow();

private:
    HWND m_list = nullptr;
};

} // namespace kestrova::win32
