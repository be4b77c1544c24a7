// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "i18n/Translate.h"

#include "i18n/WideText.h"

#include <windows.h>

namespace kestrova {

// The language of Windows' own menus and dialogs for this user: "zh-CN" becomes
// "zh_CN", the form the locale variables and the catalogues' names use.
std::string UserLanguage() {
    wchar_t name[LOCALE_NAME_MAX_LENGTH];
    if (::LCIDToLocaleName(MAKELCID(::GetUserDefaultUILanguage(), SORT_DEFAULT), name,
                           LOCALE_NAME_MAX_LENGTH, 0) == 0) {
        return "";
    }
    std::string language = windows::Utf8(name);
    for (char& c : language) {
        if (c == '-') {
            c = '_';
        }
    }
    return language;
}

} // namespace kestrova
