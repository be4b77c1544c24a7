// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include <string>
#include <string_view>

namespace kestrova {

// Reading and changing one value in the text of an INI settings file, the way
// the Windows program's profile functions treat it, so that files move freely
// between the two programs:
// - "[name]" starts a section, "key=value" sets a key, ";" starts a comment;
// - section and key names match without regard to ASCII letter case, and
//   spaces and tabs around names and values do not count;
// - where a key appears more than once, its first appearance counts.

// The integer under `section` / `key`: `fallback` when the section or key is
// missing, otherwise the value's leading decimal digits, or 0 when it does not
// start with a digit. Values beyond the int range read as the largest int.
int ProfileInt(std::string_view text, std::string_view section, std::string_view key, int fallback);

// `text` with `section` / `key` set to `value`. Every other line is kept byte
// for byte and in order; a missing key is added at the end of its section, a
// missing section at the end of the text. New lines take the text's own line
// end, CR LF for a text that has none yet.
std::string WithProfileValue(std::string_view text, std::string_view section, std::string_view key,
                             std::string_view value);

} // namespace kestrova
