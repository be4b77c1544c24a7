// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include <string>
#include <string_view>

namespace kestrova {

// Names and paths as the report, the status line and the command's messages show
// them: one line that cannot steer a terminal and reads back to the exact bytes.
// A backslash becomes "\\" (on Windows, where it only separates names, it stays); each byte of a
// control character (U+0000 to U+001F, U+007F to U+009F), of a line or paragraph separator (U+2028,
// U+2029) or of a direction control (U+202A to U+202E, U+2066 to U+2069), and each byte that is not
// part of valid UTF-8, becomes "\x" and two upper-case hexadecimal digits. All else,
// UTF-8 text included, stays as it is.
std::string VisibleText(std::string_view text);

// Whether VisibleText would change `text`.
bool NeedsEscaping(std::string_view text);

} // namespace kestrova
