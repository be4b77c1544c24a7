// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/win32/ShellLinkOpening.h"

#include "ui/LinkOpening.h"

#include <shellapi.h>

#include <vector>

namespace kestrova::win32 {

namespace {

std::optional<std::wstring> ReadClassesDefault(const std::wstring& subkey) {
    DWORD bytes = 0;
    const DWORD types = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ;
    if (RegGetValueW(HKEY_CLASSES_ROOT, subkey.c_str(), nullptr, types, nullptr, nullptr, &bytes) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::vector<wchar_t> value(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CLASSES_ROOT, subkey.c_str(), nullptr, types, nullptr, value.data(),
                     &bytes) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(value.data());
}

} // namespace

int SystemShellLinkOpener::shellOpen(const std::wstring& url) {
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOW));
    return static_cast<int>(result);
}

std::optional<std::wstring> SystemShellLinkOpener::webPageOpenCommand() {
    const auto documentClass = ReadClassesDefault(L".htm");
    if (!documentClass || documentClass->empty()) {
        return std::nullopt;
    }
    return ReadClassesDefault(*documentClass + L"\\shell\\open\\command");
}

int SystemShellLinkOpener::startCommandLine(const std::wstring& commandLine) {
    std::wstring line = commandLine; // CreateProcessW may write into the command line
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return OpenCodeFromError(GetLastError());
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return kOpenSucceeded;
}

std::wstring CutAtPlaceholder(std::wstring_view command) {
    auto at = command.find(L"\"%1\"");
    if (at == std::wstring_view::npos) {
        at = command.find(L"%1");
    }
    return std::wstring(command.substr(0, at));
}

std::wstring QuoteArgument(std::wstring_view argument) {
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count as escapes only before a quote: there they are doubled.
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        quoted += c;
        backslashes = 0;
    }
    quoted.append(2 * backslashes, L'\\');
    quoted += L'"';
    return quoted;
}

int OpenLink(const std::wstring& url, ShellLinkOpener& opener) {
    const int shellResult = opener.shellOpen(url);
    if (openSucceeded(shellResult)) {
        return shellResult;
    }
    const auto command = opener.webPageOpenCommand();
    if (!command) {
        return shellResult;
    }
    const std::wstring program = CutAtPlaceholder(*command);
    if (program.find_first_not_of(L" \t") == std::wstring::npos) {
        return shellResult;
    }
    return opener.startCommandLine(program + L" " + QuoteArgument(url));
}

int OpenCodeFromError(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
        return kOpenFileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_DIRECTORY:
        return kOpenPathNotFound;
    case ERROR_ACCESS_DENIED:
        return kOpenAccessDenied;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return kOpenOutOfMemory;
    case ERROR_BAD_EXE_FORMAT:
        return kOpenBadFormat;
    case ERROR_SHARING_VIOLATION:
        return kOpenSharingViolation;
    default:
        return kOpenOutOfResources;
    }
}

} // namespace kestrova::win32
