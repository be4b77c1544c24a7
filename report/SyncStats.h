// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

namespace kestrova {

// The copies under way, one slot per copy helper, so that a progress display can name
// the file being copied (the walk has usually moved on past it) and tell how much of a
// long copy is done.
class CopyProgress {
public:
    static constexpr std::size_t kSlots = 8;

    struct Copy {
        std::string path;
        std::uint64_t bytesDone = 0;
        std::uint64_t bytesTotal = 0;
        std::chrono::steady_clock::duration elapsed{};
    };

    // The calling thread copies `path` (a full source path) until it calls endCopy.
    // Slots beyond kSlots are not shown.
    void beginCopy(std::size_t slot, std::string_view path);
    void endCopy(std::size_t slot);
    // The copy that has been under way longest; false when none is.
    bool longest(Copy& copy) const;

private:
    struct Slot {
        mutable std::mutex mutex;
        std::string path;
        std::chrono::steady_clock::time_point started;
        bool busy = false;
        std::atomic<std::uint64_t> bytesDone{0};
        std::atomic<std::uint64_t> bytesTotal{0};
    };
    std::array<Slot, kSlots> slots_;
};

// Called by a file copy after each piece it has moved: the bytes moved so far and the
// file's size. Counts for the copy the calling thread began with beginCopy, if any.
void ReportCopyProgress(std::uint64_t bytesDone, std::uint64_t bytesTotal);

// Counters of the current run, readable from any thread while it goes on (progress
// displays and exit statuses use them instead of reading the report).
struct SyncStats {
    std::atomic<std::uint64_t> filesExamined{0};
    std::atomic<std::uint64_t> filesCopied{0};
    // Entries listed under the failure heading: files, links, special files, folders,
    // and a target folder that cannot be opened.
    std::atomic<std::uint64_t> filesFailed{0};
    // Files and folders copied without some extended attribute the target cannot hold.
    std::atomic<std::uint64_t> attributesNotKept{0};
    // Pairs left out of the run, or whose prune pass was left out.
    std::atomic<std::uint64_t> pairsSkipped{0};
    std::atomic<std::uint64_t> pairsDone{0};
    CopyProgress copies;

    void reset();
};

// Reset by every run at its start.
extern SyncStats g_syncStats;

} // namespace kestrova
