#pragma once

#include <atomic>
#include <cstdint>

namespace kestrova {

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

    void reset();
};

// Reset by every run at its start.
extern SyncStats g_syncStats;

} // namespace kestrova
