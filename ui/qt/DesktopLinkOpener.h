// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "ui/LinkOpening.h"

namespace kestrova {

// Opens links through the user's desktop: the desktop's own opener first; the
// default handler of web pages (as the desktop's MIME database names it) second.
class DesktopLinkOpener : public LinkOpener {
public:
    bool openWithDesktop(const std::string& url) override;
    std::optional<std::string> webPageHandlerCommand() override;
    int startProgram(const std::vector<std::string>& argv) override;
};

} // namespace kestrova
