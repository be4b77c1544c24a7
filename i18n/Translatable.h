// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

namespace kestrova {

// Marks a text kept in a constant or a table as one to translate where it is shown
// (through Translate), so that the translators' template, extracted from the sources
// by xgettext, lists it. Changes nothing at run time.
constexpr const char* Translatable(const char* text) {
    return text;
}

} // namespace kestrova
