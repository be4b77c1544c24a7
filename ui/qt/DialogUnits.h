// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// Dialog units to pixels, as the window system converts them: the dialog font gives
// the base units (average character width and character height), a horizontal unit
// is a quarter of the average width, a vertical unit an eighth of the height.

#include "res/DialogTemplate.h"

#include <QFont>
#include <QRect>
#include <QSize>

namespace kestrova {

struct DialogBaseUnits {
    int width;  // average character width in pixels
    int height; // character height in pixels
};

// Average width measured over "A".."Z" and "a".."z", rounded the window system's way.
DialogBaseUnits MeasureDialogBaseUnits(const QFont& font);

// value * numerator / denominator, rounded half away from zero.
int MulDiv(int value, int numerator, int denominator);

QRect DialogToPixels(const DialogRect& rect, DialogBaseUnits units);
QSize DialogSizeToPixels(int width, int height, DialogBaseUnits units);

} // namespace kestrova
