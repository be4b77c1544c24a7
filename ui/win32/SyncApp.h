// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// The Win32 application: registers the common controls the dialogs use and runs the
// main dialog; when it ends, the program ends.

namespace kestrova::win32 {

// The list view and the other common controls the templates name; call once before
// the first dialog is made.
void InitWindowClasses();

// Runs the main dialog until it ends; returns the process's exit code.
int RunSyncApp();

} // namespace kestrova::win32
