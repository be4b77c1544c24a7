// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "settings/ConfigPaths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace kestrova {

namespace {

bool IsAbsolute(const char* path) {
    return path != nullptr && path[0] == '/';
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (IsAbsolute(home)) {
        return home;
    }
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && IsAbsolute(found->pw_dir)) {
        return found->pw_dir;
    }
    // No home anywhere: a path at the root, which a save reports as unwritable
    // rather than writing into whatever the current folder happens to be.
    return "/";
}

// "folder/name" with exactly one slash between them, also for the root folder.
std::string Join(std::string folder, const char* name) {
    while (!folder.empty() && folder.back() == '/') {
        folder.pop_back();
    }
    return folder + "/" + name;
}

} // namespace

std::string ConfigFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const std::string base = IsAbsolute(xdg) ? std::string(xdg) : Join(HomeFolder(), ".config");
    return Join(base, "kestrova");
}

std::string SettingsFilePath() {
    return Join(ConfigFolder(), "Kestrova.ini");
}

std::string PairListFilePath() {
    return Join(ConfigFolder(), "dirlist.cfg");
}

std::string RunRecordFilePath() {
    const char* xdg = std::getenv("XDG_STATE_HOME");
    const std::string base =
        IsAbsolute(xdg) ? std::string(xdg) : Join(HomeFolder(), ".local/state");
    return Join(Join(base, "kestrova"), "runs.log");
}

std::string SettingsFileToRead() {
    return SettingsFilePath();
}

std::string PairListFileToRead() {
    return PairListFilePath();
}

} // namespace kestrova
