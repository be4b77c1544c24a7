// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// The font the Win32 dialogs are made with. The templates' Song typeface suits the
// Chinese texts it was chosen for, the original ones and their Simplified Chinese
// translation; in any other language the dialogs take the system's dialog font (the
// font of its message boxes), which is made for that language's script. Dialog units
// follow the font a dialog is made with, so the layout scales with it.

#include "res/DialogTemplate.h"

#include <string>

namespace kestrova::win32 {

struct DialogFontChoice {
    std::wstring face;
    int pointSize;
};

// The dialogs made from now on suit `language`, as UseCatalogue returned it: "" (the
// original texts) and any Chinese keep the templates' font.
void UseDialogFontFor(const std::string& language);

// The face and size a dialog made now from `dialog` gets.
DialogFontChoice DialogFontOf(const DialogTemplate& dialog);

} // namespace kestrova::win32
