// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/qt/AboutDialog.h"

#include "ui/qt/CommandTable.h"

#include <QLabel>

namespace kestrova {

namespace {
constexpr int kOkId = 1;
}

AboutDialog::AboutDialog(MessagePrompt& prompt, QWidget* owner)
    : TemplateDialog(AboutDialogTemplate(), owner) {
    BindCommand(control(kOkId), Notification::Clicked, this, [this] { accept(); });
    link.setPrompt(prompt);
    link.attach(controlAs<QLabel>(kLinkId));
}

} // namespace kestrova
