// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// Under Wine a test can reach the Linux side: Wine names every Windows path there,
// and starts a Linux program named through drive Z:. Tests use it to make what the
// Windows API cannot make under Wine (a Unix symbolic link, a mounted drive). None
// of it is there on Windows.

#include "i18n/WideText.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace kestrova::test {

// Wine's name on the Linux side for the Windows path `path`, whose folder must exist;
// "" on Windows.
inline std::string UnixPath(const std::string& path) {
    using UnixFileName = char*(CDECL*)(const wchar_t*);
    const auto name = reinterpret_cast<UnixFileName>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* unix = name != nullptr ? name(windows::Wide(path).c_str()) : nullptr;
    if (unix == nullptr) {
        return {};
    }
    std::string result = unix;
    ::HeapFree(::GetProcessHeap(), 0, unix);
    return result;
}

inline bool UnderWine() {
    return !UnixPath("C:\\").empty();
}

// `text` as one word of a shell command.
inline std::string ShellWord(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// Runs the shell command `command` on the Linux side and returns its exit status, or
// -1 on Windows or when it has not ended within `seconds`. Wine gives no exit status
// of a Linux program, nor a handle to wait on: the command leaves its status in a
// file, which is waited for.
inline int RunUnixCommand(const std::string& command, int seconds = 60) {
    wchar_t base[MAX_PATH + 1];
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, base);
    const std::string status = windows::Utf8(std::wstring_view(base, length)) + "kestrova-status-" +
                               std::to_string(std::random_device()());
    const std::string unixStatus = UnixPath(status);
    if (unixStatus.empty()) {
        return -1;
    }
    const std::string script = "PATH=/usr/sbin:/usr/bin:/sbin:/bin; (" + command +
                               ") </dev/null >/dev/null 2>&1; echo $? >" +
                               ShellWord(unixStatus + ".new") + " && mv " +
                               ShellWord(unixStatus + ".new") + " " + ShellWord(unixStatus);
    // One argument by the rules of a Windows command line: backslashes are doubled
    // only before a quote.
    std::wstring line = L"Z:\\bin\\sh -c \"";
    std::size_t backslashes = 0;
    for (const wchar_t c : windows::Wide(script)) {
        if (c == L'"') {
            line.append(backslashes + 1, L'\\');
        }
        backslashes = c == L'\\' ? backslashes + 1 : 0;
        line += c;
    }
    line.append(backslashes, L'\\');
    line += L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        return -1;
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    for (int waited = 0; waited < seconds * 20; ++waited) {
        std::ifstream in(std::filesystem::path(windows::Wide(status)));
        int exitStatus = -1;
        if (in >> exitStatus) {
            in.close();
            ::DeleteFileW(windows::Wide(status).c_str());
            return exitStatus;
        }
        ::Sleep(50);
    }
    return -1;
}

// Makes `link` a link to the folder or file `target`: under Wine a Unix symbolic
// link, which Wine shows as it shows any (a reparse point with tag 0 for a folder, the
// file itself for a file); on Windows a symbolic link, where the user may make one.
inline bool MakeLink(const std::string& link, const std::string& target, bool folder) {
    if (UnderWine()) {
        return RunUnixCommand("ln -s " + ShellWord(UnixPath(target)) + " " +
                              ShellWord(UnixPath(link))) == 0;
    }
    return ::CreateSymbolicLinkW(windows::Wide(link).c_str(), windows::Wide(target).c_str(),
                                 (folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) |
                                     SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) != 0;
}

} // namespace kestrova::test
