// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/win32/MessageBoxes.h"

#include "i18n/WideText.h"
#include "ui/CaptionRoom.h"
#include "ui/win32/DialogWindow.h"

namespace kestrova::win32 {

namespace {

// The box being opened on this thread and its caption, while the hook waits for it.
thread_local HHOOK t_boxHook = nullptr;
thread_local const std::wstring* t_boxCaption = nullptr;

// The system's box sizes itself to its text and buttons, which may leave too little
// room for the caption: the box is widened about its centre, and its contents keep
// their places relative to that centre.
void MakeRoomForCaption(HWND box, const std::wstring& caption) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        return;
    }
    const HFONT font = CreateFontIndirectW(&metrics.lfCaptionFont);
    const HDC dc = GetDC(box);
    const HGDIOBJ old = SelectObject(dc, font);
    SIZE text{};
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
    SelectObject(dc, old);
    ReleaseDC(box, dc);
    DeleteObject(font);

    RECT place{};
    GetWindowRect(box, &place);
    const int extra = WindowWidthForCaption(text.cx) - (place.right - place.left);
    if (extra <= 0) {
        return;
    }
    SetWindowPos(box, nullptr, place.left - extra / 2, place.top, place.right - place.left + extra,
                 place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        RECT at{};
        GetWindowRect(child, &at);
        MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&at), 2);
        SetWindowPos(child, nullptr, at.left + extra / 2, at.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

bool IsTheBox(HWND window) {
    wchar_t caption[128] = {};
    GetWindowTextW(window, caption, 128);
    return *t_boxCaption == caption;
}

// Sees the box as it is first activated, laid out and not yet drawn.
LRESULT CALLBACK WatchForBox(int code, WPARAM wParam, LPARAM lParam) {
    const auto window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && t_boxHook != nullptr && IsTheBox(window)) {
        UnhookWindowsHookEx(t_boxHook);
        t_boxHook = nullptr;
        MakeRoomForCaption(window, *t_boxCaption);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

BoxAnswer SystemBoxes::present(HWND owner, const std::string& caption, const std::string& text,
                               BoxStyle style) {
    UINT type = MB_OK | MB_ICONEXCLAMATION;
    switch (style) {
    case BoxStyle::OkExclamation:
        break;
    case BoxStyle::OkStop:
        type = MB_OK | MB_ICONSTOP;
        break;
    case BoxStyle::YesNoQuestion:
        type = MB_YESNO | MB_ICONQUESTION;
        break;
    case BoxStyle::SaveLeaveStay:
        // Yes saves and leaves, No leaves, Cancel stays; Enter keeps the window.
        type = MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON3;
        break;
    }
    const std::wstring wideCaption = windows::Wide(caption);
    t_boxCaption = &wideCaption;
    t_boxHook = SetWindowsHookExW(WH_CBT, &WatchForBox, nullptr, GetCurrentThreadId());
    const int answer = MessageBoxW(owner, WideWithCrLf(text).c_str(), wideCaption.c_str(), type);
    if (t_boxHook != nullptr) {
        UnhookWindowsHookEx(t_boxHook);
        t_boxHook = nullptr;
    }
    switch (answer) {
    case IDYES:
        return BoxAnswer::Yes;
    case IDNO:
        return BoxAnswer::No;
    case IDCANCEL:
        return BoxAnswer::Cancel;
    default:
        return BoxAnswer::Ok;
    }
}

HWND MessageBoxes::owner() const {
    if (m_mainWindow == nullptr || !IsWindow(m_mainWindow)) {
        return nullptr;
    }
    return GetLastActivePopup(m_mainWindow);
}

BoxAnswer MessageBoxes::show(const std::string& text, BoxStyle style) {
    return m_presenter.present(owner(), kApplicationTitle, text, style);
}

} // namespace kestrova::win32
