// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// The dialogs that kestrova-render draws. Each dialog has its own file in app/render/
// that registers one entry:
//
//     const RenderEntry kEntry("about-box.png", [](RenderContext& context) {
//         return std::make_unique<AboutDialog>();
//     });
//
// The entry builds the dialog (not shown); the program shows it offscreen, draws it
// with a plain caption bar and saves it under the output folder.

#include "ui/qt/MessageBoxRoutine.h"

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

namespace kestrova::render {

// What an entry may use: a message-box routine that answers every box with its
// default, and a scratch folder for files the dialog reads or writes.
struct RenderContext {
    MessageBoxRoutine& messages;
    QString scratchFolder;
};

using DialogMaker = std::function<std::unique_ptr<QWidget>(RenderContext&)>;

struct RenderEntry {
    RenderEntry(const char* fileName, DialogMaker make);
};

struct RegisteredDialog {
    QString fileName;
    DialogMaker make;
};

const std::vector<RegisteredDialog>& RegisteredDialogs();

} // namespace kestrova::render
