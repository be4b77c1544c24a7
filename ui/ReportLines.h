// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// The report pane's text as lines, kept in temporary files (SpooledText) so that a
// report of millions of paths costs the window no memory: the lines' bytes one after
// the other, and where each line starts. A line ends at LF, CR LF or a lone CR, as an
// edit control's text does. The pane reads the lines it shows, through a small cache
// of the lines around the last one read.

#include "report/SpooledText.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

class ReportLines {
public:
    void clear();
    void append(std::string_view text);

    // At least one: an empty text is one empty line, and a text ending in a line end
    // has an empty line after it.
    std::size_t lineCount() const { return static_cast<std::size_t>(m_starts.size() / 8) + 1; }
    // Line `index` without its line end.
    const std::string& line(std::size_t index) const;
    // Lines `first` to `last`, both included, joined by LF.
    std::string joined(std::size_t first, std::size_t last) const;

    static constexpr std::size_t kCacheLines = 256;

private:
    void endLine();
    std::uint64_t lineStart(std::size_t index) const;
    void fillCache(std::size_t first) const;

    SpooledText m_text;
    // Where each line but the first starts in m_text, 8 bytes each.
    SpooledText m_starts;
    // A CR ended the last piece: an LF right after it belongs to it.
    bool m_afterReturn = false;

    // Lines m_cacheFirst onwards, as last read.
    mutable std::size_t m_cacheFirst = 0;
    mutable std::vector<std::string> m_cache;
};

} // namespace kestrova
