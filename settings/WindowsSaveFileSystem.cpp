// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "settings/SaveFileSystem.h"

#include "i18n/WideText.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>

namespace kestrova {

using windows::LastErrno;
using windows::LongPath;

// Windows has no links to follow for the settings files, so a save lands on the
// path itself.
std::string SaveFileSystem::resolve(const std::string& path) {
    return path;
}

// The read-only attribute stands for a clear owner-write bit.
std::optional<mode_t> SaveFileSystem::existingMode(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(LongPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return std::nullopt;
    }
    return static_cast<mode_t>((attributes & FILE_ATTRIBUTE_READONLY) != 0 ? 0444 : 0666);
}

int SaveFileSystem::makeFolders(const std::string& folder) {
    const std::wstring wide = LongPath(folder);
    // Past "\\?\C:\" (or the share of "\\?\UNC\server\share\"), each separator ends a
    // folder that may need creating.
    std::size_t from = wide.find(L'\\', 4) + 1;
    if (wide.starts_with(L"\\\\?\\UNC\\")) {
        from = wide.find(L'\\', wide.find(L'\\', 8) + 1) + 1;
    }
    for (std::size_t at = from; at > 0 && at <= wide.size(); ++at) {
        if (at < wide.size() && wide[at] != L'\\') {
            continue;
        }
        const std::wstring prefix = wide.substr(0, at);
        if (!::CreateDirectoryW(prefix.c_str(), nullptr) &&
            ::GetLastError() != ERROR_ALREADY_EXISTS) {
            return LastErrno();
        }
    }
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return LastErrno();
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? 0 : ENOTDIR;
}

int SaveFileSystem::createNew(const std::string& path, mode_t mode) {
    const int permission = (mode & 0200) != 0 ? (_S_IREAD | _S_IWRITE) : _S_IREAD;
    const int fd = ::_wopen(LongPath(path).c_str(),
                            _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, permission);
    return fd >= 0 ? fd : -errno;
}

long SaveFileSystem::write(int fd, const char* data, std::size_t size) {
    const unsigned chunk = size > (1u << 30) ? (1u << 30) : static_cast<unsigned>(size);
    const int written = ::_write(fd, data, chunk);
    return written >= 0 ? static_cast<long>(written) : -errno;
}

int SaveFileSystem::sync(int fd) {
    return ::_commit(fd) == 0 ? 0 : errno;
}

int SaveFileSystem::close(int fd) {
    return ::_close(fd) == 0 ? 0 : errno;
}

int SaveFileSystem::rename(const std::string& from, const std::string& to) {
    const BOOL moved = ::MoveFileExW(LongPath(from).c_str(), LongPath(to).c_str(),
                                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    return moved ? 0 : LastErrno();
}

int SaveFileSystem::remove(const std::string& path) {
    return ::DeleteFileW(LongPath(path).c_str()) ? 0 : LastErrno();
}

// MOVEFILE_WRITE_THROUGH has already made the rename durable.
int SaveFileSystem::syncFolder(const std::string&) {
    return 0;
}

} // namespace kestrova
