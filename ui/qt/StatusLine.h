// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// The main window's status line during a run (ui/RunProgress.h), fitted to the line.

#include "ui/RunProgress.h"

#include <QString>

class QFontMetrics;

namespace kestrova {

// The counts, the path shortened in the middle so the whole text fits `width` pixels,
// and a long copy's share done: "已檢查 12，已複製 3，失敗 0　/a/b…/c.iso　45%（1.4 GB / 3.0 GB）".
QString StatusLineText(const RunProgress& progress, const QFontMetrics& metrics, int width);

} // namespace kestrova
