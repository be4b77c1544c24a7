// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "settings/SaveFileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

namespace kestrova {

namespace {

int ErrorOf(int rc) {
    return rc == 0 ? 0 : errno;
}

} // namespace

std::string SaveFileSystem::resolve(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
        return path;
    }
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    // A dangling link is replaced by the file itself rather than left pointing nowhere.
    return real ? std::string(real.get()) : path;
}

std::optional<mode_t> SaveFileSystem::existingMode(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return info.st_mode & 07777;
}

int SaveFileSystem::makeFolders(const std::string& folder) {
    for (std::size_t at = 1; at <= folder.size(); ++at) {
        if (at < folder.size() && folder[at] != '/') {
            continue;
        }
        const std::string prefix = folder.substr(0, at);
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
            return errno;
        }
    }
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) {
        return errno;
    }
    return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
}

int SaveFileSystem::createNew(const std::string& path, mode_t mode) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    return fd >= 0 ? fd : -errno;
}

long SaveFileSystem::write(int fd, const char* data, std::size_t size) {
    const ssize_t written = ::write(fd, data, size);
    return written >= 0 ? static_cast<long>(written) : -errno;
}

int SaveFileSystem::sync(int fd) {
    return ErrorOf(::fsync(fd));
}

int SaveFileSystem::close(int fd) {
    return ErrorOf(::close(fd));
}

int SaveFileSystem::rename(const std::string& from, const std::string& to) {
    return ErrorOf(::rename(from.c_str(), to.c_str()));
}

int SaveFileSystem::remove(const std::string& path) {
    return ErrorOf(::unlink(path.c_str()));
}

int SaveFileSystem::syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    const int rc = ErrorOf(::fsync(fd));
    ::close(fd);
    return rc;
}

} // namespace kestrova
