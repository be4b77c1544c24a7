#include "settings/FileContents.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace kestrova {

ReadStatus ReadWholeFile(const std::string& path, std::string& contents) {
    contents.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return errno == ENOENT || errno == ENOTDIR ? ReadStatus::Missing : ReadStatus::Unreadable;
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

} // namespace kestrova
