// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "report/VisibleText.h"

namespace kestrova {

namespace {

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Length of the valid UTF-8 sequence at `at`, or 0 when the byte there does not
// begin one (overlong forms, surrogates and values past U+10FFFF are not valid).
std::size_t SequenceLength(std::string_view text, std::size_t at, char32_t& value) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() - at < length) {
        return 0;
    }
    const auto second = static_cast<unsigned char>(text[at + 1]);
    if (second < low || second > high) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if (!IsContinuation(next)) {
            return 0;
        }
        value = (value << 6) | (next & 0x3F);
    }
    return length;
}

// Characters that are valid UTF-8 but would break the line, steer a terminal or
// reorder what is shown.
bool IsHidden(char32_t value) {
    return (value >= 0x80 && value <= 0x9F) || value == 0x2028 || value == 0x2029 ||
           (value >= 0x202A && value <= 0x202E) || (value >= 0x2066 && value <= 0x2069);
}

// On Windows a backslash separates the names of a path and is never part of a name,
// so it is shown as it is there.
#ifdef _WIN32
constexpr bool kBackslashIsSeparator = true;
#else
constexpr bool kBackslashIsSeparator = false;
#endif

bool IsPlain(unsigned char c) {
    return c >= 0x20 && c < 0x7F && (c != '\\' || kBackslashIsSeparator);
}

void AppendByte(std::string& out, unsigned char c) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out += "\\x";
    out += kDigits[c >> 4];
    out += kDigits[c & 0x0F];
}

} // namespace

bool NeedsEscaping(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const auto c = static_cast<unsigned char>(text[at]);
        if (IsPlain(c)) {
            ++at;
            continue;
        }
        char32_t value = 0;
        const std::size_t length = c < 0x80 ? 0 : SequenceLength(text, at, value);
        if (length == 0 || IsHidden(value)) {
            return true;
        }
        at += length;
    }
    return false;
}

std::string VisibleText(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t at = 0; at < text.size();) {
        const auto c = static_cast<unsigned char>(text[at]);
        if (IsPlain(c)) {
            out += static_cast<char>(c);
            ++at;
            continue;
        }
        if (c == '\\') {
            out += "\\\\";
            ++at;
            continue;
        }
        char32_t value = 0;
        const std::size_t length = c < 0x80 ? 0 : SequenceLength(text, at, value);
        if (length == 0) {
            AppendByte(out, c);
            ++at;
            continue;
        }
        if (IsHidden(value)) {
            for (std::size_t i = 0; i < length; ++i) {
                AppendByte(out, static_cast<unsigned char>(text[at + i]));
            }
        } else {
            out.append(text.substr(at, length));
        }
        at += length;
    }
    return out;
}

} // namespace kestrova
