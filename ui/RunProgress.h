// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// What the main window's status line says about a run, in both windows: the counts so
// far, the file in hand and, for a copy that has taken a second or more, how much of
// it is done. Each toolkit fits the path to the line's width with its own font.

#include <chrono>
#include <cstdint>
#include <string>

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

// Stands between the counts, the path and the share done (an ideographic space).
inline constexpr const char* kStatusGap = "\xE3\x80\x80";

// The run's counts now and, while `running`, the copy under way longest (the walk runs
// ahead of the copies); otherwise, or when nothing is being copied, `lastPath`.
RunProgress ReadRunProgress(const std::string& lastPath, bool running);

// "已檢查 12，已複製 3，失敗 0" in the language chosen.
std::string CountsText(const RunProgress& progress);

// A long copy's share done, "45%（1.4 GB / 3.0 GB）" in the language chosen; empty for
// a copy that is not long or whose size is not known.
std::string ShareDoneText(const RunProgress& progress);

// "1.4 GB", "512 KB", "73 B".
std::string ByteCount(std::uint64_t bytes);

} // namespace kestrova
