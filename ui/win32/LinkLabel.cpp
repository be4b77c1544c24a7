// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/win32/LinkLabel.h"

#include "i18n/WideText.h"
#include "paths/MessagePrompt.h"
#include "ui/LinkFit.h"
#include "ui/LinkOpening.h"

#include <commctrl.h>
#include <windowsx.h>

namespace kestrova::win32 {

namespace {

ShellLinkOpener& systemOpener() {
    static SystemShellLinkOpener opener;
    return opener;
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

EdgeRect Edges(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

} // namespace

LinkLabel::LinkLabel() : opener(&systemOpener()), beep([] { MessageBeep(MB_ICONEXCLAMATION); }) {}

LinkLabel::~LinkLabel() {
    detach();
    if (tipWindow != nullptr && IsWindow(tipWindow)) {
        DestroyWindow(tipWindow);
    }
    if (fontUnderlined != nullptr) {
        DeleteObject(fontUnderlined);
    }
    if (fontPlain != nullptr) {
        DeleteObject(fontPlain);
    }
}

// Leaves a control that outlives the label as it was: its own procedure and font.
void LinkLabel::detach() {
    if (hwnd == nullptr) {
        return;
    }
    KillTimer(hwnd, kHoverTimerId);
    RemoveWindowSubclass(hwnd, &LinkLabel::ControlProc, 0);
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(fontOriginal), FALSE);
    hwnd = nullptr;
    hoverTimerRunning = false;
}

void LinkLabel::attach(HWND control) {
    hwnd = control;
    SetWindowSubclass(hwnd, &LinkLabel::ControlProc, 0, reinterpret_cast<DWORD_PTR>(this));
    // Without this style the control lets clicks and the pointer pass through.
    SetWindowLongPtrW(hwnd, GWL_STYLE, GetWindowLongPtrW(hwnd, GWL_STYLE) | SS_NOTIFY);

    const std::string text = windows::Utf8(WindowText(hwnd));
    if (linkUrl.empty()) {
        linkUrl = text;
    }
    if (text.empty()) {
        SetWindowTextW(hwnd, windows::Wide(linkUrl).c_str());
    }
    makeFonts();
    fitWindow();
    loadHandCursor();
    setUnderlineMode(kUnderlinedWhileOver);
    makeTip();
}

// Both fonts are copies of the control's own font (or the stock one a control without a
// font is measured in); neither is given to the control yet.
void LinkLabel::makeFonts() {
    auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
    fontOriginal = font;
    if (font == nullptr) {
        font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }
    if (font == nullptr) {
        font = static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT));
    }
    LOGFONTW description{};
    GetObjectW(font, sizeof description, &description);
    fontPlain = CreateFontIndirectW(&description);
    description.lfUnderline = TRUE;
    fontUnderlined = CreateFontIndirectW(&description);
}

// The tool tip watches the label's messages itself, since a modal dialog's message loop
// offers no step before dispatch.
void LinkLabel::makeTip() {
    tipWindow = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    if (tipWindow == nullptr) {
        return;
    }
    std::wstring text = windows::Wide(linkUrl);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = hwnd;
    tool.uId = 1;
    GetClientRect(hwnd, &tool.rect);
    tool.lpszText = text.data();
    SendMessageW(tipWindow, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

bool LinkLabel::reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (hwnd == nullptr || reinterpret_cast<HWND>(lParam) != hwnd) {
        return false;
    }
    if (message == WM_CTLCOLORSTATIC) {
        const auto dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, textColor());
        SetBkMode(dc, TRANSPARENT);
        // The label paints no background behind its text; erasing paints the face.
        result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        return true;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == STN_CLICKED) {
        onClicked();
        result = 0;
        return true;
    }
    return false;
}

void LinkLabel::setVisited(bool flag) {
    visited = flag;
    redraw();
}

void LinkLabel::setUnderlineMode(int mode) {
    if (mode == underlineMode) {
        return;
    }
    if (hwnd != nullptr) {
        giveFont(mode == kAlwaysUnderlined ? fontUnderlined : fontPlain);
        redraw();
    }
    underlineMode = mode;
}

int LinkLabel::openTarget(const std::string& url) {
    return OpenLink(windows::Wide(url), *opener);
}

void LinkLabel::reportOpenFailure(int code) {
    if (prompt != nullptr) {
        prompt->show(openFailureMessage(code), BoxStyle::OkExclamation);
    }
}

// The text plus the control's frame; centred and right-aligned controls keep their
// centre or right edge.
void LinkLabel::fitWindow() {
    if (hwnd == nullptr || !IsWindow(hwnd) || !fitToText) {
        return;
    }
    RECT window;
    GetWindowRect(hwnd, &window);
    RECT client;
    GetClientRect(hwnd, &client);
    const int clientWidth = client.right - client.left;
    const int clientHeight = client.bottom - client.top;
    if (const HWND parent = GetParent(hwnd); parent != nullptr) {
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&window), 2);
    }

    const std::wstring text = WindowText(hwnd);
    SIZE extent{};
    const HDC dc = GetDC(hwnd);
    const HGDIOBJ previous = SelectObject(dc, fontUnderlined);
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, previous);
    ReleaseDC(hwnd, dc);

    const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
    const TextPlacement placement{(style & SS_CENTER) != 0, (style & SS_RIGHT) != 0,
                                  (style & SS_CENTERIMAGE) != 0};
    const EdgeRect fitted =
        fitRectToText(Edges(window), clientWidth, clientHeight, extent.cx, extent.cy, placement);
    SetWindowPos(hwnd, nullptr, fitted.left, fitted.top, fitted.width(), fitted.height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void LinkLabel::loadHandCursor() {
    if (handCursor == nullptr) {
        handCursor = LoadCursorW(nullptr, IDC_HAND);
    }
}

COLORREF LinkLabel::textColor() const {
    if (pointerOver) {
        return kColorHover;
    }
    return visited ? kColorVisited : kColorNormal;
}

LRESULT CALLBACK LinkLabel::ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR /*id*/, DWORD_PTR self) {
    auto* label = reinterpret_cast<LinkLabel*>(self);
    switch (message) {
    case WM_SETCURSOR:
        if (label->handCursor == nullptr) {
            return FALSE;
        }
        SetCursor(label->handCursor);
        return TRUE;
    case WM_MOUSEMOVE:
        label->onMouseMove();
        break;
    case WM_TIMER:
        label->onTimer();
        break;
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
        return TRUE;
    }
    case WM_NCDESTROY:
        KillTimer(window, kHoverTimerId);
        RemoveWindowSubclass(window, &LinkLabel::ControlProc, 0);
        label->hwnd = nullptr;
        label->hoverTimerRunning = false;
        break;
    default:
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void LinkLabel::onMouseMove() {
    if (pointerOver) {
        return;
    }
    pointerOver = true;
    if (underlineMode == kUnderlinedWhileOver) {
        giveFont(fontUnderlined);
    }
    redraw();
    hoverTimerRunning = SetTimer(hwnd, kHoverTimerId, kHoverPeriodMs, nullptr) != 0;
}

// The label hears of no pointer leaving it, so while the pointer is over it a timer
// keeps checking where the pointer was when the timer's message was sent.
void LinkLabel::onTimer() {
    const DWORD position = GetMessagePos();
    POINT point{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    ScreenToClient(hwnd, &point);
    RECT client;
    GetClientRect(hwnd, &client);
    if (PtInRect(&client, point)) {
        return;
    }
    pointerOver = false;
    KillTimer(hwnd, kHoverTimerId);
    hoverTimerRunning = false;
    if (underlineMode != kAlwaysUnderlined) {
        giveFont(fontPlain);
    }
    redraw();
}

// The timer keeps running and the underline stays; the next move over the label brings
// the hover colour back.
void LinkLabel::onClicked() {
    pointerOver = false;
    const int result = openTarget(linkUrl);
    visited = openSucceeded(result);
    if (visited) {
        setVisited(true);
        return;
    }
    beep();
    reportOpenFailure(result);
}

void LinkLabel::giveFont(HFONT font) {
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void LinkLabel::redraw() {
    if (hwnd != nullptr && IsWindow(hwnd)) {
        InvalidateRect(hwnd, nullptr, TRUE);
    }
}

} // namespace kestrova::win32
