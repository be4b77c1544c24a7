// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>

namespace kestrova {

// The file-system calls that saving a file makes, as one small port. The
// methods carry out the real POSIX calls; a test overrides one of them to force
// a failure at that step. Calls return 0 or a positive errno value unless
// stated otherwise.
class SaveFileSystem {
public:
    virtual ~SaveFileSystem() = default;

    // Where a save to `path` lands: the file a symbolic link points at, so that
    // a linked settings file stays linked; otherwise `path` itself.
    virtual std::string resolve(const std::string& path);
    // Permission bits of an existing file, so a replacement does not widen them.
    virtual std::optional<mode_t> existingMode(const std::string& path);
    // Creates every missing folder leading to and including `folder`; new
    // folders are private to the user.
    virtual int makeFolders(const std::string& folder);
    // Creates a file that must not exist yet; returns its descriptor, or
    // -errno.
    virtual int createNew(const std::string& path, mode_t mode);
    // Writes up to `size` bytes; returns how many were written, or -errno.
    virtual long write(int fd, const char* data, std::size_t size);
    virtual int sync(int fd);
    virtual int close(int fd);
    virtual int rename(const std::string& from, const std::string& to);
    virtual int remove(const std::string& path);
    virtual int syncFolder(const std::string& folder);
};

} // namespace kestrova
