// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "report/SyncStats.h"

namespace kestrova {

SyncStats g_syncStats;

namespace {

// The progress counters of the copy this thread has in hand.
thread_local std::atomic<std::uint64_t>* t_bytesDone = nullptr;
thread_local std::atomic<std::uint64_t>* t_bytesTotal = nullptr;

} // namespace

void CopyProgress::beginCopy(std::size_t slot, std::string_view path) {
    if (slot >= kSlots) {
        return;
    }
    Slot& s = slots_[slot];
    s.bytesDone.store(0, std::memory_order_relaxed);
    s.bytesTotal.store(0, std::memory_order_relaxed);
    {
        std::lock_guard lock(s.mutex);
        s.path.assign(path);
        s.started = std::chrono::steady_clock::now();
        s.busy = true;
    }
    t_bytesDone = &s.bytesDone;
    t_bytesTotal = &s.bytesTotal;
}

void CopyProgress::endCopy(std::size_t slot) {
    if (slot >= kSlots) {
        return;
    }
    t_bytesDone = nullptr;
    t_bytesTotal = nullptr;
    std::lock_guard lock(slots_[slot].mutex);
    slots_[slot].busy = false;
}

bool CopyProgress::longest(Copy& copy) const {
    const auto now = std::chrono::steady_clock::now();
    bool found = false;
    for (const Slot& s : slots_) {
        std::lock_guard lock(s.mutex);
        if (!s.busy || (found && now - s.started <= copy.elapsed)) {
            continue;
        }
        copy.path = s.path;
        copy.elapsed = now - s.started;
        copy.bytesDone = s.bytesDone.load(std::memory_order_relaxed);
        copy.bytesTotal = s.bytesTotal.load(std::memory_order_relaxed);
        found = true;
    }
    return found;
}

void ReportCopyProgress(std::uint64_t bytesDone, std::uint64_t bytesTotal) {
    if (t_bytesDone != nullptr) {
        t_bytesDone->store(bytesDone, std::memory_order_relaxed);
        t_bytesTotal->store(bytesTotal, std::memory_order_relaxed);
    }
}

void SyncStats::reset() {
    filesExamined = 0;
    filesCopied = 0;
    filesFailed = 0;
    attributesNotKept = 0;
    pairsSkipped = 0;
    pairsDone = 0;
}

} // namespace kestrova
