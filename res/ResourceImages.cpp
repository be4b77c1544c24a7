// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "res/ResourceImages.h"

#include <QBitmap>

// The resource initialiser must be named outside any namespace.
static void InitImagesResource() {
    Q_INIT_RESOURCE(images);
}

namespace kestrova {

void InitResources() {
    InitImagesResource();
}

QPixmap MaskedBitmap(int id, QColor transparent) {
    QPixmap pixmap(ResourceImagePath(id));
    if (!pixmap.isNull()) {
        pixmap.setMask(pixmap.createMaskFromColor(transparent, Qt::MaskInColor));
    }
    return pixmap;
}

} // namespace kestrova
