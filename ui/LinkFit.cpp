// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/LinkFit.h"

namespace kestrova {

EdgeRect fitRectToText(const EdgeRect& window, int contentsWidth, int contentsHeight, int textWidth,
                       int textHeight, TextPlacement placement) {
    const int wantedWidth = textWidth + (window.width() - contentsWidth);
    const int wantedHeight = textHeight + (window.height() - contentsHeight);
    EdgeRect fitted = window;

    if (placement.centredVertically) {
        const int d = (window.height() - wantedHeight) / 2;
        fitted.top += d;
        fitted.bottom -= d;
    } else {
        fitted.bottom = fitted.top + wantedHeight;
    }

    if (placement.centred) {
        const int d = (window.width() - wantedWidth) / 2;
        fitted.left += d;
        fitted.right -= d;
    } else if (placement.rightAligned) {
        fitted.left = fitted.right - wantedWidth;
    } else {
        fitted.right = fitted.left + wantedWidth;
    }
    return fitted;
}

} // namespace kestrova
