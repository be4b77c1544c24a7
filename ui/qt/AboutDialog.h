// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// The About box (template 100): the application icon, name and version, the rights
// and terms lines, and a link label on the place for the company's web address, which
// the template leaves empty. Each opening builds a fresh box, runs it modally over its
// owner and throws it away.

#include "ui/qt/LinkLabel.h"
#include "ui/qt/TemplateDialog.h"

namespace kestrova {

class MessagePrompt;

class AboutDialog : public TemplateDialog {
    Q_OBJECT
public:
    static constexpr int kLinkId = 1011;

    // prompt: the message-box routine, for the link's failure report.
    explicit AboutDialog(MessagePrompt& prompt, QWidget* owner = nullptr);

    LinkLabel link;
};

} // namespace kestrova
