// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/win32/PairList.h"

#include "i18n/Translatable.h"
#include "i18n/Translate.h"
#include "i18n/WideText.h"
#include "res/StringTable.h"

#include <commctrl.h>

#include <algorithm>

namespace kestrova::win32 {

namespace {

constexpr DWORD kListStyles = LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;
// Magenta marks the transparent pixels of the list's small image.
constexpr COLORREF kTransparent = RGB(0xFF, 0x00, 0xFF);

struct Column {
    const char* header;
    int width;
};
constexpr Column kColumns[] = {
    {Translatable("源目錄"), 150}, {Translatable("目標目錄"), 150}, {Translatable("狀態"), 40}};
// Room a header takes beside its text, in pixels.
constexpr int kHeaderTextMargin = 14;

} // namespace

void PairList::attach(HWND listView) {
    m_list = listView;
    for (int i = 0; i < 3; ++i) {
        std::wstring header = windows::Wide(Translate(kColumns[i].header));
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        // A translated header may need more room than the original's width.
        const int textWidth = static_cast<int>(
            SendMessageW(m_list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(header.c_str())));
        column.cx = std::max(kColumns[i].width, textWidth + kHeaderTextMargin);
        column.pszText = header.data();
        column.iSubItem = i;
        SendMessageW(m_list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    // The small-image list sets the row height; rows themselves carry text only. The
    // list view destroys it with itself.
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR8 | ILC_MASK, 1, 1);
    if (HBITMAP bitmap =
            LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kFoldersBitmapId))) {
        ImageList_AddMasked(images, bitmap, kTransparent);
        DeleteObject(bitmap);
    }
    SendMessageW(m_list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    SendMessageW(m_list, LVM_SETEXTENDEDLISTVIEWSTYLE, kListStyles, kListStyles);
}

int PairList::rowCount() const {
    return static_cast<int>(SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0));
}

std::string PairList::rowText(int row, int column) const {
    if (row < 0 || row >= rowCount()) {
        return {};
    }
    // LVM_GETITEMTEXT says how much it copied, not how long the text is: grow until
    // the text fits with room to spare.
    std::wstring text(260, L'\0');
    for (;;) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(text.size());
        const auto copied = static_cast<std::size_t>(
            SendMessageW(m_list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
        if (copied + 1 < text.size()) {
            text.resize(copied);
            return windows::Utf8(text);
        }
        text.resize(text.size() * 2);
    }
}

void PairList::appendRow(const std::string& source, const std::string& target) {
    std::wstring first = windows::Wide(source);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = rowCount();
    item.pszText = first.data();
    const auto row =
        static_cast<int>(SendMessageW(m_list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (row >= 0) {
        setRowText(row, 1, target);
    }
}

void PairList::setRowText(int row, int column, const std::string& text) {
    if (row < 0 || row >= rowCount()) {
        return;
    }
    std::wstring wide = windows::Wide(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = wide.data();
    SendMessageW(m_list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

int PairList::checkState(int row) const {
    if (row < 0 || row >= rowCount()) {
        return kUnchecked;
    }
    const auto state =
        static_cast<UINT>(SendMessageW(m_list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
    return (state & LVIS_STATEIMAGEMASK) >> 12 == kChecked ? kChecked : kUnchecked;
}

void PairList::setChecked(int row, bool checked) {
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? kChecked : kUnchecked);
    SendMessageW(m_list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

// Row -1 stands for every row; only the state image changes.
void PairList::setAllChecked(bool checked) {
    setChecked(-1, checked);
}

void PairList::select(int row, bool selected) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = selected ? LVIS_SELECTED : 0;
    SendMessageW(m_list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

int PairList::deleteSelectedRows() {
    int deleted = 0;
    for (int row = -1;;) {
        row = static_cast<int>(SendMessageW(m_list, LVM_GETNEXTITEM, row, LVNI_SELECTED));
        if (row < 0) {
            return deleted;
        }
        SendMessageW(m_list, LVM_DELETEITEM, row, 0);
        ++deleted;
        --row; // the next row now has this index
    }
}

int PairList::selectionMark() const {
    return static_cast<int>(SendMessageW(m_list, LVM_GETSELECTIONMARK, 0, 0));
}

void PairList::focusSomeRow() {
    if (rowCount() == 0 || SendMessageW(m_list, LVM_GETNEXTITEM, -1, LVNI_FOCUSED) >= 0) {
        return;
    }
    LVITEMW item{};
    item.stateMask = LVIS_FOCUSED;
    item.state = LVIS_FOCUSED;
    SendMessageW(m_list, LVM_SETITEMSTATE, std::max(selectionMark(), 0),
                 reinterpret_cast<LPARAM>(&item));
}

} // namespace kestrova::win32
