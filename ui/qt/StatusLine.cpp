// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/qt/StatusLine.h"

#include <QFontMetrics>

namespace kestrova {

QString StatusLineText(const RunProgress& progress, const QFontMetrics& metrics, int width) {
    const QString gap = QString::fromUtf8(kStatusGap);
    const std::string shareDone = ShareDoneText(progress);
    const QString share = shareDone.empty() ? QString() : gap + QString::fromStdString(shareDone);
    const QString path = QString::fromUtf8(progress.path.data(), qsizetype(progress.path.size()));
    const QString head = QString::fromStdString(CountsText(progress)) + gap;
    const int room = width - metrics.horizontalAdvance(head) - metrics.horizontalAdvance(share);
    return head + metrics.elidedText(path, Qt::ElideMiddle, std::max(room, 0)) + share;
}

} // namespace kestrova
