// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "settings/FileContents.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace kestrova {

ReadStatus ReadWholeFile(const std::string& path, std::string& contents) {
    contents.clear();
    // Non-blocking, so that a named pipe in the file's place cannot hang the caller.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return errno == ENOENT || errno == ENOTDIR ? ReadStatus::Missing : ReadStatus::Unreadable;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return ReadStatus::Unreadable;
    }
    char buffer[65536];
    ReadStatus status = ReadStatus::Read;
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            contents.append(buffer, static_cast<std::size_t>(got));
        } else if (got == 0) {
            break;
        } else if (errno != EINTR) {
            status = ReadStatus::Unreadable;
            contents.clear();
            break;
        }
    }
    ::close(fd);
    return status;
}

std::string TextFromFile(std::string bytes) {
    return bytes;
}

} // namespace kestrova
