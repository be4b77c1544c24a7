// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// Per-class command tables for the Win32 dialogs: which control and notification code
// call which member handler. WM_COMMAND carries button clicks (BN_CLICKED) and
// WM_NOTIFY the list view's (NM_DBLCLK); both go through the same table.

#include <windows.h>

#include <span>

namespace kestrova::win32 {

template <class Dialog> struct CommandEntry {
    int controlId;
    int code;
    void (Dialog::*handler)();
};

// Calls the handler listed for `id` and `code`; returns whether there was one.
template <class Dialog>
bool DispatchCommand(Dialog& dialog, std::span<const CommandEntry<Dialog>> table, int id,
                     int code) {
    for (const CommandEntry<Dialog>& entry : table) {
        if (entry.controlId == id && entry.code == code) {
            (dialog.*entry.handler)();
            return true;
        }
    }
    return false;
}

} // namespace kestrova::win32
