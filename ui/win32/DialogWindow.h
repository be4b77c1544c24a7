// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// A dialog of the Win32 window, made from one of the program's dialog templates. A
// derived class handles the messages it cares about; everything else gets the dialog
// manager's default handling. The dialog runs modally (runModal) or, for embedding
// and tests, modelessly (create); endDialog ends either kind.

#include "res/DialogTemplate.h"

#include <windows.h>

#include <string>
#include <vector>

namespace kestrova::win32 {

// UTF-8 text as the window system shows it: UTF-16 with CR LF between lines.
std::wstring WideWithCrLf(const std::string& text);

class DialogWindow {
public:
    explicit DialogWindow(const DialogTemplate& dialog);
    virtual ~DialogWindow();
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    // Shows the dialog modally above `owner` until it ends; returns endDialog's result,
    // or -1 when the dialog could not be created.
    INT_PTR runModal(HWND owner);
    // Creates the dialog without a modal loop; the dialog is destroyed with this object.
    HWND create(HWND owner);

    HWND hwnd() const { return m_hwnd; }
    HWND control(int id) const { return GetDlgItem(m_hwnd, id); }
    const DialogTemplate& dialogTemplate() const { return m_template; }

    // Ends the dialog: a modal one returns `result` from runModal; a modeless one is
    // hidden and keeps `result` for result().
    void endDialog(INT_PTR result);
    bool ended() const { return m_ended; }
    INT_PTR result() const { return m_result; }

    // A control's text in UTF-8, and setting it from UTF-8 (line ends become CR LF).
    std::string controlText(int id) const;
    void setControlText(int id, const std::string& text);

protected:
    // WM_INITDIALOG: returns whether the dialog manager should set the initial focus.
    virtual bool onInitDialog() { return true; }
    // WM_COMMAND from a control, a menu or an accelerator. By default the cancel
    // command (Escape, the close box) ends the dialog with IDCANCEL.
    virtual void onCommand(int id, int code);
    // Every message first comes here; set `handled` to keep the default handling off.
    // The result is the message's result (DWLP_MSGRESULT for those that use it).
    virtual LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    const DialogTemplate& m_template;
    std::vector<WORD> m_built;
    HWND m_hwnd = nullptr;
    bool m_modal = false;
    bool m_ended = false;
    INT_PTR m_result = 0;
};

} // namespace kestrova::win32
