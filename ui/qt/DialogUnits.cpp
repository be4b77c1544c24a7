// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/qt/DialogUnits.h"

#include <QFontMetrics>
#include <cstdlib>

namespace kestrova {

DialogBaseUnits MeasureDialogBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int extent = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(extent / 26 + 1) / 2, metrics.height()};
}

int MulDiv(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const bool negative = (product < 0) != (denominator < 0);
    const long long magnitude = std::llabs(product);
    const long long divisor = std::llabs(static_cast<long long>(denominator));
    const long long rounded = (magnitude + divisor / 2) / divisor;
    return static_cast<int>(negative ? -rounded : rounded);
}

// Position and size are converted separately, as the dialog manager creates controls.
QRect DialogToPixels(const DialogRect& rect, DialogBaseUnits units) {
    return QRect(MulDiv(rect.x, units.width, 4), MulDiv(rect.y, units.height, 8),
                 MulDiv(rect.width, units.width, 4), MulDiv(rect.height, units.height, 8));
}

QSize DialogSizeToPixels(int width, int height, DialogBaseUnits units) {
    return QSize(MulDiv(width, units.width, 4), MulDiv(height, units.height, 8));
}

} // namespace kestrova
