#include "ui/qt/StatusLine.h"
#include "i18n/Translatable.h"
#include "i18n/Translate.h"

#include <QFontMetrics>
#include <array>

namespace kestrova {

namespace {

const char* const kCounts = Translatable("已檢查 %1，已複製 %2，失敗 %3");
const char* const kShareDone = Translatable("%1%（%2 / %3）");
const QChar kGap(0x3000); // ideographic space

} // namespace

QString ByteCount(std::uint64_t bytes) {
    static constexpr std::array<const char*, 5> kUnits = {"B", "KB", "MB", "GB", "TB"};
    if (bytes < 1024) {
        return QStringLiteral("%1 B").arg(bytes);
    }
    double value = double(bytes);
    std::size_t unit = 0;
    while (value >= 1024 && unit + 1 < kUnits.size()) {
        value /= 1024;
        ++unit;
    }
    return QStringLiteral("%1 %2").arg(value, 0, 'f', value < 10 ? 1 : 0).arg(kUnits[unit]);
}

QString StatusLineText(const RunProgress& progress, const QFontMetrics& metrics, int width) {
    const QString counts = QString::fromUtf8(Translate(kCounts))
                               .arg(progress.examined)
                               .arg(progress.copied)
                               .arg(progress.failed);
    QString share;
    if (progress.longCopy && progress.bytesTotal > 0) {
        const std::uint64_t done = std::min(progress.bytesDone, progress.bytesTotal);
        share = kGap + QString::fromUtf8(Translate(kShareDone))
                           .arg(done * 100 / progress.bytesTotal)
                           .arg(ByteCount(done), ByteCount(progress.bytesTotal));
    }
    const QString path = QString::fromUtf8(progress.path.data(), qsizetype(progress.path.size()));
    const QString head = counts + kGap;
    const int room = width - metrics.horizontalAdvance(head) - metrics.horizontalAdvance(share);
    return head + metrics.elidedText(path, Qt::ElideMiddle, std::max(room, 0)) + share;
}

} // namespace kestrova
