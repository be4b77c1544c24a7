// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// Per-class command tables: each dialog class lists, in one array, which control and
// notification call which of its member handlers, and binds the array once its
// controls exist. Adding a command is one table line and one handler:
//
//     const CommandEntry<MainDialog> kCommands[] = {
//         {1007, Notification::Clicked, &MainDialog::onStart},
//     };
//     BindCommands(*this, std::span(kCommands));
//
// The dialog class must offer control(int id) (TemplateDialog does).

#include <QWidget>
#include <functional>
#include <span>

namespace kestrova {

enum class Notification {
    Clicked,       // a button was pressed
    DoubleClicked, // a double-click anywhere on the control, empty areas included
    TextChanged,   // an edit's text changed
};

template <class Dialog> struct CommandEntry {
    int controlId;
    Notification notification;
    void (Dialog::*handler)();
};

// Connects one notification of `control` to `handler`, which runs in `context`'s thread
// and is dropped with it. Returns false when the control is missing or cannot send
// that notification.
bool BindCommand(QWidget* control, Notification notification, QObject* context,
                 std::function<void()> handler);

template <class Dialog>
bool BindCommands(Dialog& dialog, std::span<const CommandEntry<Dialog>> table) {
    bool all = true;
    for (const CommandEntry<Dialog>& entry : table) {
        auto handler = entry.handler;
        all &= BindCommand(dialog.control(entry.controlId), entry.notification, &dialog,
                           [&dialog, handler] { (dialog.*handler)(); });
    }
    return all;
}

} // namespace kestrova
