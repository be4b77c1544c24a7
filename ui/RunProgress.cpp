// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/RunProgress.h"

#include "i18n/Translatable.h"
#include "i18n/Translate.h"
#include "report/SyncStats.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace kestrova {

namespace {

const char* const kCounts = Translatable("已檢查 %1，已複製 %2，失敗 %3");
const char* const kShareDone = Translatable("%1%（%2 / %3）");

} // namespace

RunProgress ReadRunProgress(const std::string& lastPath, bool running) {
    RunProgress progress;
    progress.examined = g_syncStats.filesExamined.load(std::memory_order_relaxed);
    progress.copied = g_syncStats.filesCopied.load(std::memory_order_relaxed);
    progress.failed = g_syncStats.filesFailed.load(std::memory_order_relaxed);
    CopyProgress::Copy copy;
    if (running && g_syncStats.copies.longest(copy)) {
        progress.path = std::move(copy.path);
        progress.longCopy = copy.elapsed >= kLongCopy;
        progress.bytesDone = copy.bytesDone;
        progress.bytesTotal = copy.bytesTotal;
    } else {
        progress.path = lastPath;
    }
    return progress;
}

std::string CountsText(const RunProgress& progress) {
    return Translate(kCounts, {std::to_string(progress.examined), std::to_string(progress.copied),
                               std::to_string(progress.failed)});
}

std::string ShareDoneText(const RunProgress& progress) {
    if (!progress.longCopy || progress.bytesTotal == 0) {
        return {};
    }
    const std::uint64_t done = std::min(progress.bytesDone, progress.bytesTotal);
    return Translate(kShareDone, {std::to_string(done * 100 / progress.bytesTotal), ByteCount(done),
                                  ByteCount(progress.bytesTotal)});
}

std::string ByteCount(std::uint64_t bytes) {
    static constexpr std::array<const char*, 5> kUnits = {"B", "KB", "MB", "GB", "TB"};
    if (bytes < 1024) {
        return std::to_string(bytes) + " B";
    }
    double value = double(bytes);
    std::size_t unit = 0;
    while (value >= 1024 && unit + 1 < kUnits.size()) {
        value /= 1024;
        ++unit;
    }
    // Written the same in every locale, as the counts are.
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed,
                                       value < 10 ? 1 : 0);
    return std::string(text, written.ptr) + " " + kUnits[unit];
}

} // namespace kestrova
