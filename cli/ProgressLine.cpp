// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "cli/ProgressLine.h"

#include "i18n/Translate.h"

namespace kestrova {

namespace {

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Display columns of UTF-8 text, counting every character as one column except the
// wide East Asian ranges, which take two.
std::size_t Columns(const std::string& text, std::size_t from) {
    std::size_t columns = 0;
    for (std::size_t i = from; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (IsContinuationByte(text[i])) {
            continue;
        }
        columns += c >= 0xE1 && c <= 0xEF ? 2 : 1;
    }
    return columns;
}

} // namespace

std::string ProgressText(std::uint64_t examined, std::uint64_t copied, std::uint64_t failed,
                         const std::string& path, std::size_t width) {
    std::string text =
        Translate("examined %1, copied %2, failed %3",
                  {std::to_string(examined), std::to_string(copied), std::to_string(failed)});
    // Counted in columns: a translated count line may hold wide characters.
    const std::size_t countColumns = Columns(text, 0);
    if (width <= countColumns + 5) {
        // Drops whole characters from the end until the line fits.
        while (Columns(text, 0) > width) {
            char dropped;
            do {
                dropped = text.back();
                text.pop_back();
            } while (IsContinuationByte(dropped) && !text.empty());
        }
        return text;
    }
    const std::size_t room = width - countColumns - 2;
    std::size_t from = 0;
    bool cut = false;
    while (from < path.size() && Columns(path, from) > room - (from > 0 ? 3 : 0)) {
        ++from;
        while (from < path.size() && IsContinuationByte(path[from])) {
            ++from;
        }
        cut = true;
    }
    text += "  ";
    if (cut) {
        text += "...";
    }
    text.append(path, from, std::string::npos);
    return text;
}

} // namespace kestrova
