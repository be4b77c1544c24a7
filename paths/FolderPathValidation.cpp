// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "paths/FolderPathValidation.h"

#include <string>
#include <vector>

namespace kestrova {

namespace {

constexpr std::size_t kMaxPosixNameBytes = 255;

bool IsEdgeByte(char c, PathStyle style) {
    return c == '\t' || c == ' ' || (style == PathStyle::Windows && c == '.');
}

bool IsForbiddenWindowsByte(char c) {
    return std::string_view("\"*/:<>?\\|").find(c) != std::string_view::npos;
}

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char Separator(PathStyle style) {
    return style == PathStyle::Windows ? '\\' : '/';
}

// Length of the root the path starts with ("C:\" or "/"), or 0 when it starts
// with no root of this style.
std::size_t RootLength(std::string_view path, PathStyle style) {
    if (style == PathStyle::Windows) {
        const bool hasRoot =
            path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == ':' && path[2] == '\\';
        return hasRoot ? 3 : 0;
    }
    return !path.empty() && path[0] == '/' ? 1 : 0;
}

} // namespace

bool IsValidPathComponent(std::string_view name, PathStyle style) {
    if (name.empty() || name.find('\0') != std::string_view::npos) {
        return false;
    }
    if (IsEdgeByte(name.front(), style) || IsEdgeByte(name.back(), style)) {
        return false;
    }
    if (style == PathStyle::Windows) {
        for (const char c : name) {
            if (IsForbiddenWindowsByte(c)) {
                return false;
            }
        }
        return true;
    }
    return name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.size() <= kMaxPosixNameBytes;
}

int ValidateFolderPath(std::string_view path, bool checkOnly, FolderFileSystem& fs,
                       PathStyle style) {
    if (path.size() > MaxFolderPathBytes(style)) {
        return kFolderPathInvalid;
    }
    const std::size_t rootLength = RootLength(path, style);
    if (rootLength == 0) {
        return kFolderPathInvalid;
    }
    if (path.size() == rootLength) {
        if (checkOnly) {
            return kFolderPathOk;
        }
        return fs.exists(std::string(path)) ? kFolderPathOk : kFolderPathNotCreated;
    }

    // The whole form is judged before anything is created, so that a path
    // found invalid further on leaves no folders behind. A doubled or trailing
    // separator leaves an empty name, which is invalid.
    const char separator = Separator(style);
    std::vector<std::size_t> nameEnds;
    std::size_t begin = rootLength;
    for (;;) {
        const std::size_t next = path.find(separator, begin);
        const std::size_t end = next == std::string_view::npos ? path.size() : next;
        if (!IsValidPathComponent(path.substr(begin, end - begin), style)) {
            return kFolderPathInvalid;
        }
        nameEnds.push_back(end);
        if (end == path.size()) {
            break;
        }
        begin = end + 1;
    }
    if (checkOnly) {
        return kFolderPathOk;
    }

    for (const std::size_t end : nameEnds) {
        const std::string folder(path.substr(0, end));
        fs.createFolder(folder);
        if (!fs.isFolder(folder)) {
            return kFolderPathNotCreated;
        }
    }
    return kFolderPathOk;
}

std::string CutToPathLimit(std::string text, std::size_t limit) {
    if (text.size() <= limit) {
        return text;
    }
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    text.resize(end);
    return text;
}

} // namespace kestrova
