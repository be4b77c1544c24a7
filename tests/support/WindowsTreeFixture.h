// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// The tree fixture on Windows, on the wide-character API and full paths in the
// "\\?\" form, so trees may be deeper than 260 characters. A file's mode is its
// read-only attribute (set when the owner may not write); times are last-write
// times in 100 ns steps. Links and pipes are the Linux fixture's only.

#include "i18n/WideText.h"
#include "support/TreeFixture.h"

#include <windows.h>

#include <random>
#include <stdexcept>

namespace kestrova::test {

inline void Check(bool ok, const std::string& what) {
    if (!ok) {
        throw std::runtime_error(what + ": error " + std::to_string(::GetLastError()));
    }
}

// 100 ns steps from 1601 to 1970.
inline constexpr std::int64_t kEpochTicks = 116'444'736'000'000'000;

inline FILETIME FileTimeOf(const Item& item) {
    const std::uint64_t ticks = static_cast<std::uint64_t>(item.seconds * 10'000'000 +
                                                           item.nanoseconds / 100 + kEpochTicks);
    return {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

inline void WriteItem(const std::string& path, const Item& item) {
    const std::wstring wide = windows::LongPath(path);
    switch (item.kind) {
    case 'd':
        ::CreateDirectoryW(wide.c_str(), nullptr);
        return;
    case 'f':
        break;
    default:
        throw std::runtime_error("links and pipes are not made on Windows: " + path);
    }
    ::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    const HANDLE file = ::CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    Check(file != INVALID_HANDLE_VALUE, "create " + path);
    DWORD written = 0;
    const bool wrote = item.data.empty() ||
                       (::WriteFile(file, item.data.data(), static_cast<DWORD>(item.data.size()),
                                    &written, nullptr) &&
                        written == item.data.size());
    const FILETIME time = FileTimeOf(item);
    const bool timed = ::SetFileTime(file, nullptr, nullptr, &time);
    ::CloseHandle(file);
    Check(wrote && timed, "write " + path);
    if ((item.mode & 0200u) == 0) {
        Check(::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY), "read-only " + path);
    }
}

// Writes every item of `tree` below the folder `root` (which must exist), adding
// to and overwriting what is there.
inline void WriteTree(const std::string& root, const Tree& tree) {
    for (const auto& [path, item] : tree) {
        for (std::size_t slash = path.find('/'); slash != std::string::npos;
             slash = path.find('/', slash + 1)) {
            ::CreateDirectoryW(
                windows::LongPath(root + "\\" + Native(path.substr(0, slash))).c_str(), nullptr);
        }
        WriteItem(root + "\\" + Native(path), item);
    }
}

inline std::string ReadData(const std::string& path) {
    const HANDLE file = ::CreateFileW(windows::LongPath(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    Check(file != INVALID_HANDLE_VALUE, "read " + path);
    std::string data;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        data.append(buffer, got);
    }
    ::CloseHandle(file);
    return data;
}

inline void ReadFolder(const std::string& folder, const std::string& prefix, Tree& tree) {
    WIN32_FIND_DATAW found;
    const HANDLE search =
        ::FindFirstFileExW(windows::LongPath(folder + "\\*").c_str(), FindExInfoBasic, &found,
                           FindExSearchNameMatch, nullptr, 0);
    Check(search != INVALID_HANDLE_VALUE, "list " + folder);
    do {
        const std::string name = windows::Utf8(found.cFileName);
        if (name == "." || name == "..") {
            continue;
        }
        const std::string path = prefix.empty() ? name : prefix + "/" + name;
        const std::string full = folder + "\\" + name;
        const DWORD attributes = found.dwFileAttributes;
        if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            tree[path] = {'l', {}, 0, 0, 0};
            continue;
        }
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            tree[path] = Folder();
            ReadFolder(full, path, tree);
            continue;
        }
        const std::int64_t ticks =
            static_cast<std::int64_t>(
                (static_cast<std::uint64_t>(found.ftLastWriteTime.dwHighDateTime) << 32) |
                found.ftLastWriteTime.dwLowDateTime) -
            kEpochTicks;
        const std::int64_t seconds =
            ticks >= 0 ? ticks / 10'000'000 : (ticks - 9'999'999) / 10'000'000;
        tree[path] = {'f', ReadData(full), seconds, (ticks - seconds * 10'000'000) * 100,
                      (attributes & FILE_ATTRIBUTE_READONLY) != 0 ? 0444u : 0644u};
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

// Everything below `root`, read back.
inline Tree ReadTree(const std::string& root) {
    Tree tree;
    ReadFolder(root, "", tree);
    return tree;
}

// Removes what is below `folder`; links are removed, never entered.
inline void RemoveBelow(const std::string& folder) {
    WIN32_FIND_DATAW found;
    const HANDLE search =
        ::FindFirstFileExW(windows::LongPath(folder + "\\*").c_str(), FindExInfoBasic, &found,
                           FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::string name = windows::Utf8(found.cFileName);
        if (name == "." || name == "..") {
            continue;
        }
        const std::string full = folder + "\\" + name;
        const std::wstring wide = windows::LongPath(full);
        ::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
        const DWORD attributes = found.dwFileAttributes;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
                RemoveBelow(full);
            }
            ::RemoveDirectoryW(wide.c_str());
        } else {
            ::DeleteFileW(wide.c_str());
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

// A fresh folder below the system's temporary folder, removed with its contents.
class TempFolder {
public:
    TempFolder() {
        wchar_t base[MAX_PATH + 1];
        const DWORD length = ::GetTempPathW(MAX_PATH + 1, base);
        Check(length > 0 && length <= MAX_PATH, "temporary folder");
        std::string folder = windows::Utf8(std::wstring_view(base, length));
        if (folder.back() == '\\') {
            folder.pop_back();
        }
        std::random_device random;
        for (int tries = 0;; ++tries) {
            path_ = folder + "\\kestrova-test-" + std::to_string(random());
            if (::CreateDirectoryW(windows::LongPath(path_).c_str(), nullptr)) {
                break;
            }
            Check(tries < 100, "make " + path_);
        }
    }
    ~TempFolder() {
        RemoveBelow(path_);
        ::RemoveDirectoryW(windows::LongPath(path_).c_str());
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    // A sub-folder path, created when `create` is set.
    std::string sub(const std::string& name, bool create = true) const {
        const std::string full = path_ + "\\" + Native(name);
        if (create) {
            ::CreateDirectoryW(windows::LongPath(full).c_str(), nullptr);
        }
        return full;
    }

private:
    std::string path_;
};

} // namespace kestrova::test
