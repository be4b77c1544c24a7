#include "settings/ConfigPaths.h"

#include "windows/WideText.h"

#include <shlobj.h>

namespace kestrova {

namespace {

using windows::Utf8;

std::string RoamingAppData() {
    wchar_t value[32768];
    const DWORD length = ::GetEnvironmentVariableW(L"APPDATA", value, 32768);
    if (length > 2 && length < 32768 && value[1] == L':') {
        return Utf8({value, length});
    }
    wchar_t known[MAX_PATH];
    if (SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, known))) {
        return Utf8(known);
    }
    return "C:\\";
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

std::string FileToRead(const std::string& current, const std::string& original) {
    return Exists(current) || original.empty() || !Exists(original) ? current : original;
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
