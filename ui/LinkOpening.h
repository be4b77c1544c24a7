// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

// Result codes of opening a link. A value above 32 means the link was opened; the
// failure codes keep the meanings the program has always reported to the user.
inline constexpr int kOpenSucceeded = 33;
inline constexpr int kOpenOutOfResources = 0;
inline constexpr int kOpenFileNotFound = 2;
inline constexpr int kOpenPathNotFound = 3;
inline constexpr int kOpenAccessDenied = 5;
inline constexpr int kOpenOutOfMemory = 8;
inline constexpr int kOpenBadFormat = 11;
inline constexpr int kOpenSharingViolation = 26;
inline constexpr int kOpenNoHandler = 31;

inline bool openSucceeded(int code) {
    return code > 32;
}

// What opening a link needs of the desktop. The label holds one; tests hand it a
// stand-in so that nothing is ever launched.
class LinkOpener {
public:
    virtual ~LinkOpener() = default;
    // Asks the desktop to open the address with its registered handler.
    virtual bool openWithDesktop(const std::string& url) = 0;
    // The command line of the default handler of web pages, if one is registered.
    virtual std::optional<std::string> webPageHandlerCommand() = 0;
    // Starts a program with the given arguments, without a shell; returns an open
    // result code.
    virtual int startProgram(const std::vector<std::string>& argv) = 0;
};

// Ends a handler's command line where the address would have been substituted: at
// the opening quote of the first quoted field code ("%u" and the like), else at the
// first bare field code, else nowhere. A doubled "%%" is a literal percent sign.
// What followed the placeholder is dropped. UTF-8 continuation bytes are never
// taken for '%' or '"', so a byte-wise search is safe.
std::string cutAtPlaceholder(std::string_view command);

// Splits a handler's command line into arguments: separated by spaces, double
// quotes group (with \" \` \$ \\ escaped inside), "%%" stands for '%'. No value
// for an unterminated quote.
std::optional<std::vector<std::string>> splitCommandLine(std::string_view command);

// The Exec value of the [Desktop Entry] group of a desktop file, with the file's
// string escapes (\s \n \t \r \\) resolved.
std::optional<std::string> execFromDesktopEntry(std::string_view fileText);

// Opens an address: the desktop first, then the default web page handler started
// directly with the address as its own last argument, so that no address can make
// up a command. Returns an open result code.
int openLink(const std::string& url, LinkOpener& opener);

// Maps a failure to start a program (an errno value) to an open result code.
int openCodeFromErrno(int error);

// The reason shown for a failed opening, and the whole message.
std::string openFailureReason(int code);
std::string openFailureMessage(int code);

} // namespace kestrova
