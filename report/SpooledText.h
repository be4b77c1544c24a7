// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "fs/TempFile.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kestrova {

// A text that only grows, kept in a temporary file (TempFile) rather than in memory:
// what is appended collects in a small buffer that goes to the file whenever it fills,
// so memory stays the same however long the text gets. Where no temporary file can be
// made or written, the rest of the text stays in memory instead, so nothing is lost.
// One thread at a time; readers on another thread need the writer to wait meanwhile.
class SpooledText {
public:
    SpooledText();
    explicit SpooledText(std::string_view text);
    SpooledText(const SpooledText&) = delete;
    SpooledText& operator=(const SpooledText&) = delete;

    void append(std::string_view text);
    void append(const SpooledText& other);
    std::uint64_t size() const { return m_fileSize + m_buffer.size(); }
    bool empty() const { return size() == 0; }
    // Empties the text, which becomes a new one (see identity()).
    void clear();

    // Copies `length` bytes from `offset`; false when the file could not be read back.
    bool read(std::uint64_t offset, std::size_t length, char* out) const;
    // Hands the bytes from `from` to `to` to `take`, in order, in pieces of at most
    // kPiece bytes; false when the file could not be read back.
    bool forEachPiece(std::uint64_t from, std::uint64_t to,
                      const std::function<void(std::string_view)>& take) const;
    // The whole text, in memory.
    std::string toString() const;
    // Tells texts apart: no two texts, nor a text before and after clear(), share it.
    std::uint64_t identity() const { return m_identity; }

    static constexpr std::size_t kBufferSize = 64 * 1024;
    static constexpr std::size_t kPiece = 256 * 1024;

private:
    void spill();

    TempFile m_file;
    // The text's first m_fileSize bytes are in the file, the rest in m_buffer.
    std::uint64_t m_fileSize = 0;
    std::string m_buffer;
    // Cleared once the file failed: the buffer then holds the rest of the text.
    bool m_spills = true;
    std::uint64_t m_identity;
};

} // namespace kestrova
