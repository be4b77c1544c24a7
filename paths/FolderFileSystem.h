// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include <string>

namespace kestrova {

// What checking and creating folder paths needs of the file system.
class FolderFileSystem {
public:
    virtual ~FolderFileSystem() = default;
    // True when anything, file or folder, exists under this name.
    virtual bool exists(const std::string& path) = 0;
    // True when a folder exists under this name (a link to a folder counts).
    virtual bool isFolder(const std::string& path) = 0;
    // Tries to create one folder; callers learn the outcome through exists().
    virtual void createFolder(const std::string& path) = 0;
};

// The real file system: an existence-only access test and mkdir with the
// default permissions (the process umask applies).
class PosixFolderFileSystem : public FolderFileSystem {
public:
    bool exists(const std::string& path) override;
    bool isFolder(const std::string& path) override;
    void createFolder(const std::string& path) override;
};

// The real file system on Windows: the attribute query and CreateDirectory, on
// the wide-character API.
class WindowsFolderFileSystem : public FolderFileSystem {
public:
    bool exists(const std::string& path) override;
    bool isFolder(const std::string& path) override;
    void createFolder(const std::string& path) override;
};

#ifdef _WIN32
using NativeFolderFileSystem = WindowsFolderFileSystem;
#else
using NativeFolderFileSystem = PosixFolderFileSystem;
#endif

} // namespace kestrova
