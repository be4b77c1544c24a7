// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "paths/FolderFileSystem.h"

#include <sys/stat.h>
#include <unistd.h>

namespace kestrova {

bool PosixFolderFileSystem::exists(const std::string& path) {
    return ::access(path.c_str(), F_OK) == 0;
}

bool PosixFolderFileSystem::isFolder(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

void PosixFolderFileSystem::createFolder(const std::string& path) {
    // An existing folder makes mkdir fail; that is expected and harmless,
    // since the caller tests existence afterwards.
    (void)::mkdir(path.c_str(), 0777);
}

} // namespace kestrova
