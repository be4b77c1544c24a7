// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "paths/FolderFileSystem.h"

#include "i18n/WideText.h"

namespace kestrova {

bool WindowsFolderFileSystem::exists(const std::string& path) {
    return ::GetFileAttributesW(windows::LongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WindowsFolderFileSystem::isFolder(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(windows::LongPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void WindowsFolderFileSystem::createFolder(const std::string& path) {
    // The caller tests existence afterwards; an existing folder fails harmlessly.
    (void)::CreateDirectoryW(windows::LongPath(path).c_str(), nullptr);
}

} // namespace kestrova
