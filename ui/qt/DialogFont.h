// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// The font of a dialog. For the original and the Chinese texts, the font the dialog
// template asks for, or the closest this machine has: the named family when
// installed, then a Song/Ming-style CJK font (AR PL UMing), then any font that covers
// Chinese. For texts in any other language, a font drawn for Latin text first, with
// that Chinese font behind it for the names it lacks.

#include <QFont>

namespace kestrova {

QFont DialogFont(const char* familyName, int pointSize);

// Whether the texts in use are Chinese: the original texts or a Chinese catalogue.
bool TextsAreChinese();

} // namespace kestrova
