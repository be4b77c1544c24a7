// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// Opening a link with the Windows shell: the address's registered handler first, then
// the open command registered for web pages, started with the address as one quoted
// argument so that no address can add arguments or commands of its own.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace kestrova::win32 {

// What opening a link needs of the system. The link label holds one; tests hand it
// a stand-in so that nothing is ever started.
class ShellLinkOpener {
public:
    virtual ~ShellLinkOpener() = default;
    // Opens the address with its registered handler: above 32 on success, else the
    // shell's error code.
    virtual int shellOpen(const std::wstring& url) = 0;
    // The open command registered for web pages (the ".htm" document class), if any.
    virtual std::optional<std::wstring> webPageOpenCommand() = 0;
    // Starts a program from a command line, without a command interpreter; an open
    // result code.
    virtual int startCommandLine(const std::wstring& commandLine) = 0;
};

// The system's shell, registry and process start.
class SystemShellLinkOpener : public ShellLinkOpener {
public:
    int shellOpen(const std::wstring& url) override;
    std::optional<std::wstring> webPageOpenCommand() override;
    int startCommandLine(const std::wstring& commandLine) override;
};

// Ends a registered open command where the address would have been put: at the
// opening quote of the first "%1" in quotes, else at the first bare %1, else nowhere.
// What followed the placeholder is dropped.
std::wstring CutAtPlaceholder(std::wstring_view command);

// The argument in double quotes, with quotes and the backslashes before them escaped
// so that a program splitting its command line the usual way gets it back unchanged
// as a single argument.
std::wstring QuoteArgument(std::wstring_view argument);

// Opens an address: the shell first; then the web page handler's command, cut at its
// placeholder, with the quoted address appended after one space. Returns an open
// result code: the shell's when no handler command is registered, else the start's.
int OpenLink(const std::wstring& url, ShellLinkOpener& opener);

// The open result code for a failure to start a program (a Windows error code).
int OpenCodeFromError(DWORD error);

} // namespace kestrova::win32
