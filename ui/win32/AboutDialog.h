// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// The About box (template 100): the application icon, name and version, the
// rights and terms lines, and a link label on the place for the company's web
// address, which the template leaves empty. Each opening builds a fresh box,
// runs it modally over its owner and throws it away.

#include "ui/win32/DialogWindow.h"
#include "ui/win32/LinkLabel.h"

namespace kestrova {
class MessagePrompt;
}

namespace kestrova::win32 {

class AboutDialog : public DialogWindow {
public:
    static constexpr int kLinkId = 1011;

    // prompt: the message-box routine, for the link's failure report.
    explicit AboutDialog(MessagePrompt& prompt);

    LinkLabel link;

protected:
    bool onInitDialog() override;
    void onCommand(int id, int code) override;
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
};

// The system menu's About item has identifier 16; the system keeps the low four
// bits of a command for itself, so 16 to 31 all mean About.
inline constexpr UINT kAboutCommand = 16;
inline constexpr bool IsAboutCommand(WPARAM command) {
    return (command & 0xFFF0) == kAboutCommand;
}

// The main window's About button and About item: a fresh box, modal over
// `owner`.
void ShowAboutBox(HWND owner, MessagePrompt& prompt);

} // namespace kestrova::win32
