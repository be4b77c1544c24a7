#include "i18n/Translate.h"

#include "windows/WideText.h"

#include <windows.h>

namespace kestrova {

// The catalogues of a Windows program lie in a locale folder beside it.
std::string DefaultLocaleFolder() {
    std::wstring executable(32768, L'\0');
    const DWORD length =
        GetModuleFileNameW(nullptr, executable.data(), static_cast<DWORD>(executable.size()));
    if (length == 0 || length >= executable.size()) {
        return "locale";
    }
    executable.resize(length);
    const std::string path = windows::Utf8(executable);
    return path.substr(0, path.find_last_of("\\/") + 1) + "locale";
}

} // namespace kestrova
