// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "sync/PairCheck.h"

#include "fs/FileSystem.h"
#include "i18n/WideText.h"

#include <algorithm>
#include <cwchar>
#include <vector>

namespace kestrova {

namespace {

using windows::LongPath;
using windows::Utf8;
using windows::Wide;

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Length of the root a full path starts with: "C:\" (3), or "\\server\share" up to
// the separator after the share; 0 when the path is not a full path.
std::size_t RootLength(const std::string& path) {
    if (path.size() >= 3 && IsLetter(path[0]) && path[1] == ':' && IsSeparator(path[2])) {
        return 3;
    }
    if (path.size() > 2 && IsSeparator(path[0]) && IsSeparator(path[1]) && path[2] != '?' &&
        path[2] != '.') {
        const auto next = [&path](std::size_t from) {
            std::size_t at = from;
            while (at < path.size() && !IsSeparator(path[at])) {
                ++at;
            }
            return at;
        };
        const std::size_t server = next(2);
        if (server == 2 || server >= path.size()) {
            return 0;
        }
        const std::size_t share = next(server + 1);
        return share == server + 1 ? 0 : share;
    }
    return 0;
}

// The root in its one form: "C:\" with the letter as typed, "\\server\share".
std::string RootForm(const std::string& path, std::size_t length) {
    std::string root = path.substr(0, length);
    for (char& c : root) {
        if (c == '/') {
            c = '\\';
        }
    }
    return root;
}

bool SameIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

} // namespace

std::string FullPathForm(const std::string& path) {
    const std::size_t rootLength = RootLength(path);
    std::vector<std::string> names;
    std::size_t at = rootLength;
    while (at < path.size()) {
        std::size_t end = at;
        while (end < path.size() && !IsSeparator(path[end])) {
            ++end;
        }
        const std::string name = path.substr(at, end - at);
        if (name == "..") {
            if (!names.empty()) {
                names.pop_back();
            }
        } else if (!name.empty() && name != ".") {
            names.push_back(name);
        }
        at = end + 1;
    }
    std::string form = RootForm(path, rootLength);
    for (const std::string& name : names) {
        AppendName(form, name.c_str());
    }
    return form;
}

void AppendName(std::string& path, const char* name) {
    if (path.empty() || path.back() != '\\') {
        path += '\\';
    }
    path += name;
}

std::string ResolvedLocation(const std::string& fullPath) {
    std::string existing = fullPath;
    std::string rest;
    const std::size_t rootLength = RootLength(fullPath);
    for (;;) {
        const HANDLE handle =
            ::CreateFileW(LongPath(existing).c_str(), FILE_READ_ATTRIBUTES,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            std::wstring final(32768, L'\0');
            const DWORD length = ::GetFinalPathNameByHandleW(
                handle, final.data(), static_cast<DWORD>(final.size()), VOLUME_NAME_DOS);
            ::CloseHandle(handle);
            if (length > 0 && length < final.size()) {
                final.resize(length);
                if (final.starts_with(L"\\\\?\\UNC\\")) {
                    final = L"\\\\" + final.substr(8);
                } else if (final.starts_with(L"\\\\?\\")) {
                    final = final.substr(4);
                }
                std::string resolved = Utf8(final);
                if (!rest.empty()) {
                    AppendName(resolved, rest.c_str());
                }
                return resolved;
            }
        }
        if (existing.size() <= rootLength) {
            return fullPath;
        }
        const std::size_t slash = existing.find_last_of('\\');
        const std::string name = existing.substr(slash + 1);
        rest = rest.empty() ? name : name + "\\" + rest;
        existing = slash < rootLength ? existing.substr(0, rootLength) : existing.substr(0, slash);
    }
}

// Names match without regard to letter case, so nesting is judged that way too.
bool SameOrInside(const std::string& inner, const std::string& outer) {
    const std::wstring wideInner = Wide(inner);
    std::wstring_view outerView;
    const std::wstring wideOuter = Wide(outer);
    outerView = wideOuter;
    if (SameIgnoringCase(wideInner, outerView)) {
        return true;
    }
    if (!outerView.empty() && outerView.back() == L'\\') {
        outerView.remove_suffix(1); // a drive root holds everything on its drive
    }
    return wideInner.size() > outerView.size() && wideInner[outerView.size()] == L'\\' &&
           SameIgnoringCase(std::wstring_view(wideInner).substr(0, outerView.size()), outerView);
}

bool SameOrNested(const std::string& a, const std::string& b) {
    return SameOrInside(a, b) || SameOrInside(b, a);
}

// The volume's own name ("\\?\Volume{...}\") stands for the device, so that a volume
// shown both under a drive letter and on a folder gives one place; the path is the
// rest after the volume's mount point.
bool PlaceInFileSystem(const std::string& resolvedPath, FileSystemPlace& place) {
    const std::wstring wide = Wide(resolvedPath);
    std::wstring point(32768, L'\0');
    if (!::GetVolumePathNameW(wide.c_str(), point.data(), static_cast<DWORD>(point.size()))) {
        return false;
    }
    point.resize(std::wcslen(point.c_str()));
    wchar_t volume[MAX_PATH + 1] = {};
    const std::wstring device =
        ::GetVolumeNameForVolumeMountPointW(point.c_str(), volume, MAX_PATH + 1) ? volume : point;
    std::wstring_view rest = wide;
    const std::size_t pointLength = point.back() == L'\\' ? point.size() - 1 : point.size();
    rest.remove_prefix(std::min(pointLength, rest.size()));
    place.device = Utf8(device);
    place.path = rest.empty() ? "\\" : Utf8(rest);
    return true;
}

bool AcceptableRoot(const std::string& path) {
    return RootLength(path) != 0;
}

} // namespace kestrova
