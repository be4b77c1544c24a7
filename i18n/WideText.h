// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// Windows only: the program's texts are UTF-8, the wide-character API takes UTF-16.

#include <windows.h>

#include <cerrno>
#include <string>
#include <string_view>

namespace kestrova::windows {

inline std::wstring Wide(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
    return wide;
}

inline std::string Utf8(std::wstring_view wide) {
    if (wide.empty()) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    const int length =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
    return text;
}

// The form that lifts the 260-character limit: "\\?\C:\..." or "\\?\UNC\server\...".
// Only full paths take it; such paths are passed to the system as they are, so "/"
// becomes "\" first. Anything else is returned converted but unchanged.
inline std::wstring LongPath(std::string_view path) {
    std::wstring wide = Wide(path);
    if (wide.starts_with(L"\\\\?\\")) {
        return wide;
    }
    for (wchar_t& c : wide) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    const bool drive = wide.size() >= 3 && wide[1] == L':' && wide[2] == L'\\';
    if (drive) {
        return L"\\\\?\\" + wide;
    }
    if (wide.starts_with(L"\\\\") && !wide.starts_with(L"\\\\.\\")) {
        return L"\\\\?\\UNC\\" + wide.substr(2);
    }
    return wide;
}

// The errno value that stands for a Windows error in the core's results.
inline int ErrnoOf(DWORD error) {
    switch (error) {
    case ERROR_SUCCESS:
        return 0;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_NOT_READY:
        return ENOENT;
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        return EEXIST;
    case ERROR_DIR_NOT_EMPTY:
        return ENOTEMPTY;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EBUSY;
    case ERROR_OPERATION_ABORTED:
    case ERROR_REQUEST_ABORTED:
        return EINTR;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_GEN_FAILURE:
    case ERROR_CRC:
    case ERROR_IO_DEVICE:
        return EIO;
    default:
        return EACCES;
    }
}

inline int LastErrno() {
    return ErrnoOf(::GetLastError());
}

} // namespace kestrova::windows
