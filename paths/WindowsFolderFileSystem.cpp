#include "paths/FolderFileSystem.h"

#include "windows/WideText.h"

namespace kestrova {

bool WindowsFolderFileSystem::exists(const std::string& path) {
    return ::GetFileAttributesW(windows::LongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WindowsFolderFileSystem::createFolder(const std::string& path) {
    // The caller tests existence afterwards; an existing folder fails harmlessly.
    (void)::CreateDirectoryW(windows::LongPath(path).c_str(), nullptr);
}

} // namespace kestrova
