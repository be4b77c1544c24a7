// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "settings/FileContents.h"

#include "i18n/WideText.h"

namespace kestrova {

ReadStatus ReadWholeFile(const std::string& path, std::string& contents) {
    contents.clear();
    const HANDLE file = ::CreateFileW(windows::LongPath(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                   ? ReadStatus::Missing
                   : ReadStatus::Unreadable;
    }
    ReadStatus status = ReadStatus::Read;
    if (::GetFileType(file) != FILE_TYPE_DISK) {
        status = ReadStatus::Unreadable;
    }
    char buffer[65536];
    while (status == ReadStatus::Read) {
        DWORD got = 0;
        if (!::ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
            status = ReadStatus::Unreadable;
            contents.clear();
        } else if (got == 0) {
            break;
        } else {
            contents.append(buffer, got);
        }
    }
    ::CloseHandle(file);
    return status;
}

std::string TextFromCodePage(std::string_view bytes, unsigned codePage) {
    if (bytes.empty()) {
        return {};
    }
    const int size = static_cast<int>(bytes.size());
    const int length = ::MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, bytes.data(), size, wide.data(), length);
    return windows::Utf8(wide);
}

std::string TextFromFile(std::string bytes) {
    const bool utf8 =
        bytes.empty() || ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                               static_cast<int>(bytes.size()), nullptr, 0) > 0;
    return utf8 ? bytes : TextFromCodePage(bytes, CP_ACP);
}

} // namespace kestrova
