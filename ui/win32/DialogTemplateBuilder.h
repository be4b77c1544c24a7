// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// Turns a dialog template held as data (res/DialogTemplate.h) into the in-memory
// extended dialog template the window system creates dialogs from
// (CreateDialogIndirectParamW, DialogBoxIndirectParamW): the dialog's styles, dialog-unit
// rectangle, caption and font, then each control with its class, text, rectangle,
// styles and identifier, in template order, which is also the tab order.

#include "res/DialogTemplate.h"

#include <windows.h>

#include <vector>

namespace kestrova::win32 {

// The window class of a list view, as a dialog template names it.
inline constexpr const wchar_t* kListViewClass = L"SysListView32";

// The template's bytes, held in WORDs; the vector's storage is DWORD-aligned as the
// window system requires. Texts go through the program's translations.
std::vector<WORD> BuildDialogTemplate(const DialogTemplate& dialog);

// The bytes above, as the window system's functions take them.
inline const DLGTEMPLATE* AsDialogTemplate(const std::vector<WORD>& built) {
    return reinterpret_cast<const DLGTEMPLATE*>(built.data());
}

} // namespace kestrova::win32
