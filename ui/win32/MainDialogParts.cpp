// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/win32/MainDialogParts.h"

#include "ui/win32/AboutDialog.h"
#include "ui/win32/FolderBrowser.h"

namespace kestrova::win32 {

MainDialogParts ProgramDialogParts(MessagePrompt& prompt) {
    MainDialogParts parts;
    parts.pickFolder = [&prompt](HWND owner, const std::string& caption, const std::string& title,
                                 std::string& folder) {
        return BrowseForFolder(owner, caption, title, folder, prompt);
    };
    parts.showAbout = [&prompt](HWND owner) { ShowAboutBox(owner, prompt); };
    return parts;
}

} // namespace kestrova::win32
