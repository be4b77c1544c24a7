// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <cstdint>

namespace kestrova {

// A temporary file without a name: nothing of it is left behind once it is closed,
// even when the program is killed. It lives in $TMPDIR when that is set (and only
// there), otherwise in /var/tmp or, failing that, /tmp; on Windows in the user's
// temporary folder (TMP or TEMP).
class TempFile {
public:
    TempFile() = default;
    ~TempFile() { close(); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // Makes the file; false when no temporary folder takes one.
    bool open();
    bool isOpen() const;
    void close();
    // Writes all of `data` at `offset`; false when not all of it could be written.
    bool writeAt(std::uint64_t offset, const char* data, std::size_t length);
    // Reads exactly `length` bytes at `offset`; false when they could not all be read.
    bool readAt(std::uint64_t offset, char* out, std::size_t length) const;
    // Gives the file's space back; it stays open, empty.
    void truncate();

private:
#ifdef _WIN32
    void* m_handle = nullptr;
#else
    int m_fd = -1;
#endif
};

} // namespace kestrova
