// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "report/VisibleText.h"

#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

// On Windows a backslash separates names and is shown as it is.
#ifdef _WIN32
constexpr const char* kShownBackslash = "\\";
#else
constexpr const char* kShownBackslash = "\\\\";
#endif

TEST(VisibleTextTest, OnlyControlsHiddenCharactersBadBytesAndBackslashesAreEscaped) {
    const std::pair<std::string, std::string> cases[] = {
        {"/home/me/photos/a b.jpg", "/home/me/photos/a b.jpg"},
        {"/備份/ün/😀", "/備份/ün/😀"},
        {"x\033]0;pwned\007\033[2Jy", "x\\x1B]0;pwned\\x07\\x1B[2Jy"},
        {"a\nb\r\t\x7f", "a\\x0Ab\\x0D\\x09\\x7F"},
        {"back\\x0A", std::string("back") + kShownBackslash + "x0A"},
        {"c1\xc2\x9b", "c1\\xC2\\x9B"},                        // U+009B, a terminal's CSI
        {"ls\xe2\x80\xa8ps", "ls\\xE2\\x80\\xA8ps"},           // U+2028
        {"gpj.\xe2\x80\xae", "gpj.\\xE2\\x80\\xAE"},           // U+202E
        {"\xff\xfe", "\\xFF\\xFE"},                            // not UTF-8 at all
        {"cut\xe5\x82", "cut\\xE5\\x82"},                      // a character cut short
        {"\xc0\xaf\xed\xa0\x80", "\\xC0\\xAF\\xED\\xA0\\x80"}, // overlong "/", a surrogate
        {"\xf4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"},          // past U+10FFFF
        {std::string("nul\0", 4), "nul\\x00"},
    };
    for (const auto& [raw, shown] : cases) {
        EXPECT_EQ(VisibleText(raw), shown) << raw;
        EXPECT_EQ(NeedsEscaping(raw), raw != shown) << raw;
    }
}

} // namespace
} // namespace kestrova::test
