// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "i18n/Translate.h"

#include "i18n/WideText.h"

#include <windows.h>

namespace kestrova {

// The catalogues of a Windows program lie in a locale folder beside it; in a build
// tree, in the tree's locale folder, one above the programs' own folders.
std::string DefaultLocaleFolder() {
    std::wstring executable(32768, L'\0');
    const DWORD length =
        GetModuleFileNameW(nullptr, executable.data(), static_cast<DWORD>(executable.size()));
    if (length == 0 || length >= executable.size()) {
        return "locale";
    }
    executable.resize(length);
    const std::wstring folder = executable.substr(0, executable.find_last_of(L"\\/") + 1);
    for (const wchar_t* relative : {L"locale", L"..\\locale"}) {
        const DWORD attributes = ::GetFileAttributesW((folder + relative).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            return windows::Utf8(folder + relative);
        }
    }
    return windows::Utf8(folder) + "locale";
}

} // namespace kestrova
