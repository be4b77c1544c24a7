// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "report/SpooledText.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace kestrova {

namespace {

std::uint64_t NewIdentity() {
    static std::atomic<std::uint64_t> last{0};
    return last.fetch_add(1, std::memory_order_relaxed) + 1;
}

} // namespace

SpooledText::SpooledText() : m_identity(NewIdentity()) {}

SpooledText::SpooledText(std::string_view text) : SpooledText() {
    append(text);
}

void SpooledText::append(std::string_view text) {
    m_buffer.append(text);
    if (m_spills && m_buffer.size() >= kBufferSize) {
        spill();
    }
}

void SpooledText::append(const SpooledText& other) {
    other.forEachPiece(0, other.size(), [this](std::string_view piece) { append(piece); });
}

// The file is made only when the text outgrows the buffer, so short texts need none.
void SpooledText::spill() {
    if (!m_file.open() || !m_file.writeAt(m_fileSize, m_buffer.data(), m_buffer.size())) {
        m_spills = false;
        return;
    }
    m_fileSize += m_buffer.size();
    m_buffer.clear();
    if (m_buffer.capacity() > 2 * kBufferSize) {
        m_buffer.shrink_to_fit(); // after a long single append
    }
}

void SpooledText::clear() {
    m_file.truncate();
    m_fileSize = 0;
    m_buffer.clear();
    m_buffer.shrink_to_fit();
    m_spills = true;
    m_identity = NewIdentity();
}

bool SpooledText::read(std::uint64_t offset, std::size_t length, char* out) const {
    if (offset < m_fileSize) {
        const std::size_t fromFile =
            static_cast<std::size_t>(std::min<std::uint64_t>(length, m_fileSize - offset));
        if (!m_file.readAt(offset, out, fromFile)) {
            return false;
        }
        out += fromFile;
        length -= fromFile;
        offset += fromFile;
    }
    if (length > 0) {
        std::memcpy(out, m_buffer.data() + (offset - m_fileSize), length);
    }
    return true;
}

bool SpooledText::forEachPiece(std::uint64_t from, std::uint64_t to,
                               const std::function<void(std::string_view)>& take) const {
    std::string piece;
    while (from < to && from < m_fileSize) {
        const std::size_t length = static_cast<std::size_t>(
            std::min<std::uint64_t>({kPiece, to - from, m_fileSize - from}));
        piece.resize(length);
        if (!m_file.readAt(from, piece.data(), length)) {
            return false;
        }
        take(piece);
        from += length;
    }
    // The buffer is handed over as it stands: a piece longer than kPiece only when a
    // failed file left the rest of the text in memory.
    if (from < to) {
        take(std::string_view(m_buffer).substr(static_cast<std::size_t>(from - m_fileSize),
                                               static_cast<std::size_t>(to - from)));
    }
    return true;
}

std::string SpooledText::toString() const {
    std::string text;
    text.reserve(static_cast<std::size_t>(size()));
    forEachPiece(0, size(), [&text](std::string_view piece) { text += piece; });
    return text;
}

} // namespace kestrova
