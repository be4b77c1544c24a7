// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/win32/DialogFont.h"

#include "i18n/WideText.h"

#include <windows.h>

#include <cstdlib>

namespace kestrova::win32 {

namespace {

bool g_systemFont = false;

// The font of the system's message boxes at its size in points, or the shell's dialog
// font where the system does not say.
DialogFontChoice SystemDialogFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) &&
        metrics.lfMessageFont.lfFaceName[0] != L'\0' && metrics.lfMessageFont.lfHeight != 0) {
        const HDC screen = GetDC(nullptr);
        const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
        if (screen != nullptr) {
            ReleaseDC(nullptr, screen);
        }
        const int points = MulDiv(std::abs(metrics.lfMessageFont.lfHeight), 72, dpi > 0 ? dpi : 96);
        if (points > 0) {
            return {metrics.lfMessageFont.lfFaceName, points};
        }
    }
    return {L"MS Shell Dlg 2", 8};
}

} // namespace

void UseDialogFontFor(const std::string& language) {
    g_systemFont = !language.empty() && !language.starts_with("zh");
}

DialogFontChoice DialogFontOf(const DialogTemplate& dialog) {
    if (g_systemFont) {
        return SystemDialogFont();
    }
    return {windows::Wide(dialog.fontName), dialog.fontPointSize};
}

} // namespace kestrova::win32
