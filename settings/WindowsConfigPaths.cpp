// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "settings/ConfigPaths.h"

#include "i18n/WideText.h"

#include <shlobj.h>

namespace kestrova {

namespace {

using windows::Utf8;

// The folder the variable `variable` names, else the system's folder `known`; "" when
// neither is known.
std::string UserFolder(const wchar_t* variable, int known) {
    wchar_t value[32768];
    const DWORD length = ::GetEnvironmentVariableW(variable, value, 32768);
    if (length > 2 && length < 32768 && value[1] == L':') {
        return Utf8({value, length});
    }
    wchar_t folder[MAX_PATH];
    if (SUCCEEDED(::SHGetFolderPathW(nullptr, known, nullptr, 0, folder))) {
        return Utf8(folder);
    }
    return {};
}

std::string RoamingAppData() {
    const std::string folder = UserFolder(L"APPDATA", CSIDL_APPDATA);
    return folder.empty() ? "C:\\" : folder;
}

std::string Join(std::string folder, const char* name) {
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) {
        folder.pop_back();
    }
    return folder + "\\" + name;
}

bool Exists(const std::string& path) {
    return ::GetFileAttributesW(windows::LongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The Windows program's settings file, in the Windows folder.
std::string OriginalSettingsFile() {
    wchar_t folder[MAX_PATH];
    const UINT length = ::GetWindowsDirectoryW(folder, MAX_PATH);
    return length > 0 && length < MAX_PATH ? Join(Utf8({folder, length}), "Kestrova.ini")
                                           : std::string();
}

// The Windows program's pair list, beside the program.
std::string OriginalPairListFile() {
    std::wstring program(32768, L'\0');
    const DWORD length = ::GetModuleFileNameW(nullptr, program.data(), 32768);
    program.resize(length);
    const std::size_t slash = program.find_last_of(L"\\/");
    if (length == 0 || slash == std::wstring::npos) {
        return {};
    }
    return Join(Utf8(program.substr(0, slash)), "dirlist.cfg");
}

// Where the system kept the file at `path` for the Windows program: a 32-bit program
// that wrote to the Windows folder or to Program Files without elevation had its
// writes redirected to %LOCALAPPDATA%\VirtualStore\ followed by the path without its
// drive, and was shown that copy from then on. Only the system drive is redirected.
std::string VirtualStoreCopy(const std::string& path) {
    wchar_t windows[MAX_PATH];
    const UINT length = ::GetWindowsDirectoryW(windows, MAX_PATH);
    const std::string local = UserFolder(L"LOCALAPPDATA", CSIDL_LOCAL_APPDATA);
    if (length < 3 || length >= MAX_PATH || local.empty() || path.size() <= 3 ||
        ::CompareStringOrdinal(windows, 3, windows::Wide(path.substr(0, 3)).c_str(), 3, TRUE) !=
            CSTR_EQUAL) {
        return {};
    }
    return Join(local, "VirtualStore") + "\\" + path.substr(3);
}

std::string FileToRead(const std::string& current, const std::string& original) {
    if (Exists(current) || original.empty()) {
        return current;
    }
    if (const std::string redirected = VirtualStoreCopy(original);
        !redirected.empty() && Exists(redirected)) {
        return redirected;
    }
    return Exists(original) ? original : current;
}

} // namespace

std::string ConfigFolder() {
    return Join(RoamingAppData(), "Kestrova");
}

std::string SettingsFilePath() {
    return Join(ConfigFolder(), "Kestrova.ini");
}

std::string PairListFilePath() {
    return Join(ConfigFolder(), "dirlist.cfg");
}

std::string SettingsFileToRead() {
    return FileToRead(SettingsFilePath(), OriginalSettingsFile());
}

std::string PairListFileToRead() {
    return FileToRead(PairListFilePath(), OriginalPairListFile());
}

} // namespace kestrova
