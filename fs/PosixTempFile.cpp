// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "fs/TempFile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace kestrova {

namespace {

// A file in `folder` that has no name from the start, or whose name is gone at once
// where the file system cannot make such files.
int OpenUnnamed(const std::string& folder) {
#ifdef O_TMPFILE
    const int unnamed = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (unnamed >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) {
        return unnamed;
    }
#endif
    std::string name = folder + "/kestrova-report.XXXXXX";
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0) {
        ::unlink(name.c_str());
    }
    return fd;
}

} // namespace

bool TempFile::open() {
    if (m_fd >= 0) {
        return true;
    }
    const char* chosen = std::getenv("TMPDIR");
    if (chosen != nullptr && *chosen != '\0') {
        m_fd = OpenUnnamed(chosen);
    } else {
        m_fd = OpenUnnamed("/var/tmp");
        if (m_fd < 0) {
            m_fd = OpenUnnamed("/tmp");
        }
    }
    return m_fd >= 0;
}

bool TempFile::isOpen() const {
    return m_fd >= 0;
}

void TempFile::close() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

bool TempFile::writeAt(std::uint64_t offset, const char* data, std::size_t length) {
    while (length > 0) {
        const ssize_t written = ::pwrite(m_fd, data, length, static_cast<off_t>(offset));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        length -= static_cast<std::size_t>(written);
        offset += static_cast<std::uint64_t>(written);
    }
    return true;
}

bool TempFile::readAt(std::uint64_t offset, char* out, std::size_t length) const {
    while (length > 0) {
        const ssize_t got = ::pread(m_fd, out, length, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        out += got;
        length -= static_cast<std::size_t>(got);
        offset += static_cast<std::uint64_t>(got);
    }
    return true;
}

void TempFile::truncate() {
    if (m_fd >= 0) {
        [[maybe_unused]] const int done = ::ftruncate(m_fd, 0);
    }
}

} // namespace kestrova
