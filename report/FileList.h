// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "report/SpooledText.h"

#include <cstdint>
#include <string_view>

namespace kestrova {

// A growing text of paths, each shown as VisibleText shows it and followed by "\r\n",
// kept in a temporary file (SpooledText): a first copy of millions of files lists
// them all without holding the list in memory.
class FileList {
public:
    // Appends `path` as the report shows it (see VisibleText).
    void add(std::string_view path);
    bool empty() const { return m_text.empty(); }
    std::uint64_t size() const { return m_text.size(); }
    void clear() { m_text.clear(); }
    // Appends the whole text to `out` and empties the list.
    void moveTo(SpooledText& out);
    // Appends `lines`, kept as a list keeps its lines.
    void take(const SpooledText& lines) { m_text.append(lines); }

private:
    SpooledText m_text;
};

} // namespace kestrova
