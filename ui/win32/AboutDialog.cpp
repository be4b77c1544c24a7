// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/win32/AboutDialog.h"

namespace kestrova::win32 {

AboutDialog::AboutDialog(MessagePrompt& prompt) : DialogWindow(AboutDialogTemplate()) {
    link.setPrompt(prompt);
}

bool AboutDialog::onInitDialog() {
    link.attach(control(kLinkId));
    return true;
}

void AboutDialog::onCommand(int id, int code) {
    if (id == IDOK) {
        endDialog(IDOK);
        return;
    }
    DialogWindow::onCommand(id, code);
}

LRESULT AboutDialog::onMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    LRESULT result = 0;
    handled = link.reflect(message, wParam, lParam, result);
    return result;
}

void ShowAboutBox(HWND owner, MessagePrompt& prompt) {
    AboutDialog(prompt).runModal(owner);
}

} // namespace kestrova::win32
