// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/ReportLines.h"

#include <algorithm>
#include <cstring>

namespace kestrova {

void ReportLines::clear() {
    m_text.clear();
    m_starts.clear();
    m_afterReturn = false;
    m_cache.clear();
}

void ReportLines::endLine() {
    const std::uint64_t start = m_text.size();
    char bytes[8];
    std::memcpy(bytes, &start, sizeof bytes);
    m_starts.append(std::string_view(bytes, sizeof bytes));
}

void ReportLines::append(std::string_view text) {
    m_cache.clear();
    if (m_afterReturn && !text.empty() && text.front() == '\n') {
        text.remove_prefix(1);
    }
    m_afterReturn = false;
    while (!text.empty()) {
        const auto end =
            std::find_if(text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; });
        const std::size_t length = static_cast<std::size_t>(end - text.begin());
        m_text.append(text.substr(0, length));
        if (end == text.end()) {
            return;
        }
        endLine();
        std::size_t ending = 1;
        if (*end == '\r') {
            if (length + 1 == text.size()) {
                m_afterReturn = true;
            } else if (text[length + 1] == '\n') {
                ending = 2;
            }
        }
        text.remove_prefix(length + ending);
    }
}

std::uint64_t ReportLines::lineStart(std::size_t index) const {
    if (index == 0) {
        return 0;
    }
    std::uint64_t start = 0;
    char bytes[8];
    if (m_starts.read((index - 1) * 8, sizeof bytes, bytes)) {
        std::memcpy(&start, bytes, sizeof bytes);
    }
    return start;
}

// Reads kCacheLines lines from `first` with one read of their starts and one of their
// bytes.
void ReportLines::fillCache(std::size_t first) const {
    const std::size_t count = std::min(kCacheLines, lineCount() - first);
    // The starts of lines first to first + count, the last being the text's end.
    std::vector<std::uint64_t> starts(count + 1);
    starts[0] = lineStart(first);
    const std::size_t known = std::min(count, lineCount() - 1 - first);
    std::vector<char> bytes(known * 8);
    if (known > 0 && !m_starts.read(first * 8, bytes.size(), bytes.data())) {
        bytes.assign(bytes.size(), 0);
    }
    for (std::size_t i = 0; i < known; ++i) {
        std::memcpy(&starts[i + 1], bytes.data() + i * 8, 8);
    }
    if (known < count) {
        starts[count] = m_text.size();
    }
    // Starts that could not be read back make empty lines, never a wrong length.
    starts[0] = std::min(starts[0], m_text.size());
    for (std::size_t i = 1; i <= count; ++i) {
        starts[i] = std::clamp(starts[i], starts[i - 1], m_text.size());
    }
    std::string text(static_cast<std::size_t>(starts[count] - starts[0]), '\0');
    if (!m_text.read(starts[0], text.size(), text.data())) {
        text.assign(text.size(), '?');
    }
    m_cache.assign(count, {});
    for (std::size_t i = 0; i < count; ++i) {
        m_cache[i].assign(text, static_cast<std::size_t>(starts[i] - starts[0]),
                          static_cast<std::size_t>(starts[i + 1] - starts[i]));
    }
    m_cacheFirst = first;
}

const std::string& ReportLines::line(std::size_t index) const {
    if (m_cache.empty() || index < m_cacheFirst || index >= m_cacheFirst + m_cache.size()) {
        // Some lines before the one asked for too: the pane reads upwards as well.
        fillCache(index > kCacheLines / 4 ? index - kCacheLines / 4 : 0);
    }
    return m_cache[index - m_cacheFirst];
}

std::string ReportLines::joined(std::size_t first, std::size_t last) const {
    std::string text;
    for (std::size_t index = first; index <= last; index += kCacheLines) {
        fillCache(index);
        for (std::size_t i = 0; i < m_cache.size() && index + i <= last; ++i) {
            if (index + i != first) {
                text += '\n';
            }
            text += m_cache[i];
        }
    }
    return text;
}

} // namespace kestrova
