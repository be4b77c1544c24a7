// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// The Win32 window's one message-box routine. Every box is captioned "Kestrova" and
// owned by the main window's most recently active pop-up (the main window itself when
// no dialog is open above it); OK-only boxes show the exclamation icon, the failed
// save of the pair list the stop icon, the question boxes the question icon.
//
// What shows a box is a BoxPresenter: SystemBoxes calls the system's message box;
// tests hand in one that answers from presets, so no box is ever left waiting.

#include "paths/MessagePrompt.h"

#include <windows.h>

#include <string>

namespace kestrova::win32 {

// The application title: the caption of every message box.
inline constexpr const char* kApplicationTitle = "Kestrova";

class BoxPresenter {
public:
    virtual ~BoxPresenter() = default;
    // User-interface thread; returns once the box is dismissed.
    virtual BoxAnswer present(HWND owner, const std::string& caption, const std::string& text,
                              BoxStyle style) = 0;
};

class SystemBoxes : public BoxPresenter {
public:
    BoxAnswer present(HWND owner, const std::string& caption, const std::string& text,
                      BoxStyle style) override;
};

class MessageBoxes : public MessagePrompt {
public:
    explicit MessageBoxes(BoxPresenter& presenter) : m_presenter(presenter) {}

    void setMainWindow(HWND window) { m_mainWindow = window; }
    // The window that owns a box shown now.
    HWND owner() const;

    BoxAnswer show(const std::string& text, BoxStyle style) override;

private:
    BoxPresenter& m_presenter;
    HWND m_mainWindow = nullptr;
};

} // namespace kestrova::win32
