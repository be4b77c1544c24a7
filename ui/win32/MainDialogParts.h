// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// The dialogs the program's main window opens that live outside it: the shell's folder
// browser behind the pair editor's browse buttons, and the About box.

#include "ui/win32/MainDialog.h"

namespace kestrova::win32 {

// `prompt` shows the folder check's questions and the link's failure report; it must
// outlive the main dialog.
MainDialogParts ProgramDialogParts(MessagePrompt& prompt);

} // namespace kestrova::win32
