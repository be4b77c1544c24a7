// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/win32/DialogWindow.h"

#include "i18n/WideText.h"
#include "ui/win32/DialogTemplateBuilder.h"

namespace kestrova::win32 {

namespace {

// A template placed at 0, 0 opens centred over its owner, or over the work area of the
// screen when it has none.
void CentreOverOwner(HWND dialog) {
    RECT area{};
    const HWND owner = GetWindow(dialog, GW_OWNER);
    if (owner == nullptr || !IsWindowVisible(owner) || IsIconic(owner) ||
        !GetWindowRect(owner, &area)) {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    RECT own{};
    GetWindowRect(dialog, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    const int x = area.left + (area.right - area.left - width) / 2;
    const int y = area.top + (area.bottom - area.top - height) / 2;
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

std::wstring WideWithCrLf(const std::string& text) {
    std::wstring wide;
    for (wchar_t c : windows::Wide(text)) {
        if (c == L'\n' && (wide.empty() || wide.back() != L'\r')) {
            wide += L'\r';
        }
        wide += c;
    }
    return wide;
}

DialogWindow::DialogWindow(const DialogTemplate& dialog)
    : m_template(dialog), m_built(BuildDialogTemplate(dialog)) {}

DialogWindow::~DialogWindow() {
    if (m_hwnd != nullptr && !m_modal) {
        DestroyWindow(m_hwnd);
    }
}

INT_PTR DialogWindow::runModal(HWND owner) {
    m_modal = true;
    m_ended = false;
    const INT_PTR result =
        DialogBoxIndirectParamW(GetModuleHandleW(nullptr), AsDialogTemplate(m_built), owner,
                                &DialogWindow::DialogProc, reinterpret_cast<LPARAM>(this));
    m_hwnd = nullptr;
    return result;
}

HWND DialogWindow::create(HWND owner) {
    m_modal = false;
    m_ended = false;
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), AsDialogTemplate(m_built), owner,
                                      &DialogWindow::DialogProc, reinterpret_cast<LPARAM>(this));
}

void DialogWindow::endDialog(INT_PTR result) {
    m_ended = true;
    m_result = result;
    if (m_modal) {
        EndDialog(m_hwnd, result);
    } else {
        ShowWindow(m_hwnd, SW_HIDE);
    }
}

std::string DialogWindow::controlText(int id) const {
    const HWND box = control(id);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(box)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(box, text.data(), int(text.size()))));
    return windows::Utf8(text);
}

void DialogWindow::setControlText(int id, const std::string& text) {
    SetWindowTextW(control(id), WideWithCrLf(text).c_str());
}

void DialogWindow::onCommand(int id, int /*code*/) {
    if (id == IDCANCEL) {
        endDialog(IDCANCEL);
    }
}

LRESULT DialogWindow::onMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/,
                                bool& handled) {
    handled = false;
    return 0;
}

INT_PTR CALLBACK DialogWindow::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<DialogWindow*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        self->m_hwnd = hwnd;
        if (self->m_template.rect.x == 0 && self->m_template.rect.y == 0) {
            CentreOverOwner(hwnd);
        }
        return self->onInitDialog() ? TRUE : FALSE;
    }
    auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (self == nullptr) {
        return FALSE;
    }
    bool handled = false;
    const LRESULT result = self->onMessage(message, wParam, lParam, handled);
    if (handled) {
        switch (message) {
        // These few answer through the procedure's own result.
        case WM_QUERYDRAGICON:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
            return static_cast<INT_PTR>(result);
        default:
            SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
            return TRUE;
        }
    }
    if (message == WM_COMMAND) {
        self->onCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->m_hwnd = nullptr;
    }
    return FALSE;
}

} // namespace kestrova::win32
