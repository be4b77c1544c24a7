// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/LinkOpening.h"

#include "i18n/Translate.h"

#include <cerrno>
#include <cstring>

namespace kestrova {

namespace {

bool isFieldCodeLetter(char c) {
    return c != '\0' && std::strchr("fFuUdDnNickvm", c) != nullptr;
}

// Position of the first field code at or after from whose '%' is not escaped by a
// preceding "%%", when quoted also standing alone between double quotes.
std::string_view::size_type findFieldCode(std::string_view s, bool quoted) {
    for (std::string_view::size_type i = 0; i + 1 < s.size(); ++i) {
        if (s[i] != '%') {
            continue;
        }
        if (s[i + 1] == '%') {
            ++i;
            continue;
        }
        if (!isFieldCodeLetter(s[i + 1])) {
            continue;
        }
        if (!quoted) {
            return i;
        }
        if (i > 0 && s[i - 1] == '"' && i + 2 < s.size() && s[i + 2] == '"') {
            return i - 1;
        }
    }
    return std::string_view::npos;
}

} // namespace

std::string cutAtPlaceholder(std::string_view command) {
    auto at = findFieldCode(command, true);
    if (at == std::string_view::npos) {
        at = findFieldCode(command, false);
    }
    return std::string(command.substr(0, at));
}

std::optional<std::vector<std::string>> splitCommandLine(std::string_view command) {
    std::vector<std::string> args;
    std::string current;
    bool inArgument = false;
    bool inQuotes = false;
    for (std::string_view::size_type i = 0; i < command.size(); ++i) {
        const char c = command[i];
        const bool hasNext = i + 1 < command.size();
        if (inQuotes) {
            if (c == '"') {
                inQuotes = false;
            } else if (c == '\\' && hasNext && std::strchr("\"`$\\", command[i + 1]) != nullptr) {
                current += command[++i];
            } else if (c == '%' && hasNext && command[i + 1] == '%') {
                current += command[++i];
            } else {
                current += c;
            }
            continue;
        }
        if (c == ' ' || c == '\t') {
            if (inArgument) {
                args.push_back(std::move(current));
                current.clear();
                inArgument = false;
            }
            continue;
        }
        inArgument = true;
        if (c == '"') {
            inQuotes = true;
        } else if (c == '%' && hasNext && command[i + 1] == '%') {
            current += command[++i];
        } else {
            current += c;
        }
    }
    if (inQuotes) {
        return std::nullopt;
    }
    if (inArgument) {
        args.push_back(std::move(current));
    }
    return args;
}

std::optional<std::string> execFromDesktopEntry(std::string_view fileText) {
    bool inEntryGroup = false;
    while (!fileText.empty()) {
        const auto end = fileText.find('\n');
        std::string_view line = fileText.substr(0, end);
        fileText = end == std::string_view::npos ? std::string_view() : fileText.substr(end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.starts_with('[')) {
            inEntryGroup = line == "[Desktop Entry]";
            continue;
        }
        if (!inEntryGroup || !line.starts_with("Exec")) {
            continue;
        }
        std::string_view rest = line.substr(4);
        while (rest.starts_with(' ')) {
            rest.remove_prefix(1);
        }
        if (!rest.starts_with('=')) {
            continue; // another key such as ExecStart, or a localised one
        }
        rest.remove_prefix(1);
        while (rest.starts_with(' ')) {
            rest.remove_prefix(1);
        }
        std::string value;
        for (std::string_view::size_type i = 0; i < rest.size(); ++i) {
            if (rest[i] != '\\' || i + 1 == rest.size()) {
                value += rest[i];
                continue;
            }
            switch (rest[++i]) {
            case 's':
                value += ' ';
                break;
            case 'n':
                value += '\n';
                break;
            case 't':
                value += '\t';
                break;
            case 'r':
                value += '\r';
                break;
            case '\\':
                value += '\\';
                break;
            default: // not a string escape: the backslash belongs to the command's quoting
                value += '\\';
                value += rest[i];
                break;
            }
        }
        return value;
    }
    return std::nullopt;
}

int openLink(const std::string& url, LinkOpener& opener) {
    if (opener.openWithDesktop(url)) {
        return kOpenSucceeded;
    }
    const int desktopResult = kOpenNoHandler;
    const auto command = opener.webPageHandlerCommand();
    if (!command) {
        return desktopResult;
    }
    auto argv = splitCommandLine(cutAtPlaceholder(*command));
    if (!argv || argv->empty()) {
        return desktopResult;
    }
    argv->push_back(url);
    return opener.startProgram(*argv);
}

int openCodeFromErrno(int error) {
    switch (error) {
    case ENOENT:
        return kOpenFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return kOpenPathNotFound;
    case EACCES:
    case EPERM:
        return kOpenAccessDenied;
    case ENOMEM:
    case E2BIG:
        return kOpenOutOfMemory;
    case ENOEXEC:
        return kOpenBadFormat;
    case ETXTBSY:
        return kOpenSharingViolation;
    default:
        return kOpenOutOfResources;
    }
}

std::string openFailureReason(int code) {
    switch (code) {
    case 0:
        return Translate("The operating system is out\nof memory or resources.");
    case 2:
        return Translate("The specified file was not found.");
    case 3:
        return Translate("The specified path was not found.");
    case 5:
        return Translate("The operating system denied\naccess to the specified file.");
    case 8:
        return Translate("There was not enough memory to complete the operation.");
    case 11:
        return Translate("The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).");
    case 26:
        return Translate("A sharing violation occurred. ");
    case 27:
        return Translate("The filename association is\nincomplete or invalid.");
    case 28:
        return Translate(
            "The DDE transaction could not\nbe completed because the request timed out.");
    case 29:
        return Translate("The DDE transaction failed.");
    case 30:
        return Translate("The DDE transaction could not\nbe completed because other DDE "
                         "transactions\nwere being processed.");
    case 31:
        return Translate("There is no application associated\nwith the given filename extension.");
    case 32:
        return Translate("The specified dynamic-link library was not found.");
    default:
        return Translate("Unknown Error (%1) occurred.", {std::to_string(code)});
    }
}

std::string openFailureMessage(int code) {
    return Translate("Unable to open hyperlink:\n\n%1", {openFailureReason(code)});
}

} // namespace kestrova
