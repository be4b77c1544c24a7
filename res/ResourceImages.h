// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// The program's image resources, compiled into the program.

#include <QColor>
#include <QPixmap>
#include <QString>

namespace kestrova {

// Registers the compiled-in images; call once before the first image is loaded.
void InitResources();

// ":/res/<id>.png": icon 128, bitmap 132.
inline QString ResourceImagePath(int id) {
    return QStringLiteral(":/res/%1.png").arg(id);
}

// Bitmap `id` with every pixel of `transparent` made transparent, as an image list
// masked with that colour shows it.
QPixmap MaskedBitmap(int id, QColor transparent);

} // namespace kestrova
