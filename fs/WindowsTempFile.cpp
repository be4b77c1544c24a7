// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "fs/TempFile.h"

#include <atomic>
#include <string>
#include <windows.h>

namespace kestrova {

namespace {

HANDLE AsHandle(void* handle) {
    return static_cast<HANDLE>(handle);
}

OVERLAPPED At(std::uint64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
}

// A name no other file in the folder has yet: the process, a count and the clock.
std::wstring NewName(const std::wstring& folder) {
    static std::atomic<unsigned> count{0};
    return folder + L"kestrova-report-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
           std::to_wstring(count.fetch_add(1)) + L"-" + std::to_wstring(::GetTickCount64()) +
           L".tmp";
}

} // namespace

// The file is deleted when its last handle closes, which the system does for a
// process that is ended any other way too.
bool TempFile::open() {
    if (m_handle != nullptr) {
        return true;
    }
    wchar_t folder[MAX_PATH + 1];
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) {
        return false;
    }
    for (int attempt = 0; attempt < 16; ++attempt) {
        const HANDLE file = ::CreateFileW(
            NewName(folder).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
            FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            m_handle = file;
            return true;
        }
        if (::GetLastError() != ERROR_FILE_EXISTS) {
            return false;
        }
    }
    return false;
}

bool TempFile::isOpen() const {
    return m_handle != nullptr;
}

void TempFile::close() {
    if (m_handle != nullptr) {
        ::CloseHandle(AsHandle(m_handle));
        m_handle = nullptr;
    }
}

bool TempFile::writeAt(std::uint64_t offset, const char* data, std::size_t length) {
    while (length > 0) {
        const DWORD part = length > (1u << 30) ? (1u << 30) : static_cast<DWORD>(length);
        OVERLAPPED at = At(offset);
        DWORD written = 0;
        if (!::WriteFile(AsHandle(m_handle), data, part, &written, &at) || written == 0) {
            return false;
        }
        data += written;
        length -= written;
        offset += written;
    }
    return true;
}

bool TempFile::readAt(std::uint64_t offset, char* out, std::size_t length) const {
    while (length > 0) {
        const DWORD part = length > (1u << 30) ? (1u << 30) : static_cast<DWORD>(length);
        OVERLAPPED at = At(offset);
        DWORD got = 0;
        if (!::ReadFile(AsHandle(m_handle), out, part, &got, &at) || got == 0) {
            return false;
        }
        out += got;
        length -= got;
        offset += got;
    }
    return true;
}

void TempFile::truncate() {
    if (m_handle == nullptr) {
        return;
    }
    LARGE_INTEGER start{};
    if (::SetFilePointerEx(AsHandle(m_handle), start, nullptr, FILE_BEGIN)) {
        ::SetEndOfFile(AsHandle(m_handle));
    }
}

} // namespace kestrova
