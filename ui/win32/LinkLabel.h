// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// Turns a static text control of a dialog into a hyperlink: three text colours (not yet
// visited, visited, pointer over it), underlined while the pointer is over it, the
// system's hand cursor, a tool tip with the address, and a click that opens the
// address. The dialog keeps the label as a member, binds it to the control with
// attach() while it initialises, and hands the control's colour request and click
// notice back to it (reflect()).

#include "ui/win32/ShellLinkOpening.h"

#include <windows.h>

#include <functional>
#include <string>

namespace kestrova {
class MessagePrompt;
}

namespace kestrova::win32 {

class LinkLabel {
public:
    // Underline modes: always, or only while the pointer is over the label; any
    // other value: never.
    static constexpr int kAlwaysUnderlined = 1;
    static constexpr int kUnderlinedWhileOver = -1;

    static constexpr UINT_PTR kHoverTimerId = 100;
    static constexpr UINT kHoverPeriodMs = 100;

    static constexpr COLORREF kColorNormal = RGB(0, 0, 238);
    static constexpr COLORREF kColorVisited = RGB(85, 26, 139);
    static constexpr COLORREF kColorHover = RGB(255, 0, 0);

    LinkLabel();
    ~LinkLabel();
    LinkLabel(const LinkLabel&) = delete;
    LinkLabel& operator=(const LinkLabel&) = delete;

    // The address to open (UTF-8); when set before attach(), the control's text may
    // fill in for it and it for the control's text.
    void setLinkUrl(std::string url) { linkUrl = std::move(url); }

    // Binds the label to its control and sets it up: click notices, address and text,
    // fonts, fit to the text, hand cursor, underline, tool tip.
    void attach(HWND control);

    // The parent's colour request (WM_CTLCOLORSTATIC) and click notice (WM_COMMAND,
    // STN_CLICKED) for the label's control; other messages are left alone. Returns
    // whether the message was the label's, with its result.
    bool reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    void setVisited(bool flag);
    void setUnderlineMode(int mode);

    // Opens an address; a result above 32 means success, anything else is one of the
    // codes that reportOpenFailure() explains.
    int openTarget(const std::string& url);
    void reportOpenFailure(int code);

    void fitWindow();
    void loadHandCursor();

    // Where openings, warning sounds and messages go. Tests replace them.
    void setOpener(ShellLinkOpener& replacement) { opener = &replacement; }
    void setBeep(std::function<void()> replacement) { beep = std::move(replacement); }
    void setPrompt(MessagePrompt& replacement) { prompt = &replacement; }

    HWND control() const { return hwnd; }
    HWND tip() const { return tipWindow; }
    HCURSOR cursor() const { return handCursor; }
    const std::string& url() const { return linkUrl; }
    bool isPointerOver() const { return pointerOver; }
    bool isVisited() const { return visited; }
    int underline() const { return underlineMode; }
    bool isHoverTimerRunning() const { return hoverTimerRunning; }
    // The colour the text is drawn in now.
    COLORREF textColor() const;

private:
    static LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR self);
    void makeFonts();
    void makeTip();
    void onMouseMove();
    void onTimer();
    void onClicked();
    void giveFont(HFONT font);
    void redraw();
    void detach();

    bool pointerOver = false;
    bool visited = false;
    int underlineMode = kUnderlinedWhileOver;
    const bool fitToText = true;
    std::string linkUrl;
    HFONT fontUnderlined = nullptr;
    HFONT fontPlain = nullptr;
    HFONT fontOriginal = nullptr;
    HCURSOR handCursor = nullptr;
    HWND tipWindow = nullptr;
    HWND hwnd = nullptr;
    bool hoverTimerRunning = false;

    ShellLinkOpener* opener;
    std::function<void()> beep;
    MessagePrompt* prompt = nullptr;
};

} // namespace kestrova::win32
