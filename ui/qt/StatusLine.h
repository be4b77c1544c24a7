#pragma once

// What the main window's status line says about a run: its counts so far, the file in
// hand and, for a copy that has taken a second or more, how much of it is done.

#include <QString>
#include <chrono>
#include <cstdint>
#include <string>

class QFontMetrics;

namespace kestrova {

struct RunProgress {
    std::uint64_t examined = 0;
    std::uint64_t copied = 0;
    std::uint64_t failed = 0;
    // The file being copied, or else the last one examined.
    std::string path;
    // Set for a copy under way for at least kLongCopy.
    bool longCopy = false;
    std::uint64_t bytesDone = 0;
    std::uint64_t bytesTotal = 0;
};

// A copy is long, and shows how much of it is done, from this age on.
inline constexpr std::chrono::seconds kLongCopy{1};

// The counts, the path shortened in the middle so the whole text fits `width` pixels,
// and a long copy's share done: "已檢查 12，已複製 3，失敗 0　/a/b…/c.iso　45%（1.4 GB / 3.0 GB）".
QString StatusLineText(const RunProgress& progress, const QFontMetrics& metrics, int width);

// "1.4 GB", "512 KB", "73 B".
QString ByteCount(std::uint64_t bytes);

} // namespace kestrova
