// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

// The About box as the About button opens it: the link place is blank.

#include "render/RenderRegistry.h"
#include "ui/qt/AboutDialog.h"

namespace kestrova::render {

namespace {

const RenderEntry kEntry("about.png", [](RenderContext& context) {
    return std::make_unique<AboutDialog>(context.messages);
});

} // namespace

} // namespace kestrova::render
