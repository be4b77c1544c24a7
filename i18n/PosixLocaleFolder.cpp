// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "i18n/Translate.h"

#include <sys/stat.h>
#include <unistd.h>

namespace kestrova {

namespace {

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

std::string DefaultLocaleFolder() {
    std::string executable(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", executable.data(), executable.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= executable.size()) {
        return KESTROVA_LOCALE_DIR;
    }
    executable.resize(static_cast<std::size_t>(length));
    const std::string folder = executable.substr(0, executable.rfind('/') + 1);
    // Installed, the catalogues lie where the install rules put them relative to
    // the programs; in a build tree, in its locale/ folder.
    for (const char* relative : {KESTROVA_LOCALE_DIR_FROM_BIN, "../locale"}) {
        if (IsFolder(folder + relative)) {
            return folder + relative;
        }
    }
    return KESTROVA_LOCALE_DIR;
}

} // namespace kestrova
