// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "sync/CopyQueue.h"

#include "report/SyncStats.h"
#include <cerrno>

namespace kestrova {

CopyQueue::CopyQueue(FileSystem& fs, const std::atomic<bool>& stop, unsigned helpers)
    : fs_(fs), stop_(stop), helperCount_(helpers == 0 ? 1 : helpers) {}

CopyQueue::~CopyQueue() {
    if (!jobs_.empty()) {
        waitForAll();
    }
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    work_.notify_all();
    for (std::thread& helper : helpers_) {
        helper.join();
    }
}

void CopyQueue::add(FolderHandle from, FolderHandle to, std::string_view name, EntryKind kind,
                    const std::string& path) {
    queue({from, to, name.size(), kind, 0, path.size(), CopyOutcome::Failed, 0}, path, {});
}

void CopyQueue::addLink(FolderHandle from, FolderHandle to, std::string_view name,
                        const std::string& path, FolderHandle root, std::string_view sharedPath) {
    Job job{from, to, name.size(), EntryKind::File, 0, path.size(), CopyOutcome::Failed, 0};
    job.root = root;
    job.sharedLength = sharedPath.size();
    queue(job, path, sharedPath);
}

void CopyQueue::queue(Job job, const std::string& path, std::string_view sharedPath) {
    if (helpers_.empty()) {
        helpers_.reserve(helperCount_);
        for (unsigned i = 0; i < helperCount_; ++i) {
            helpers_.emplace_back(&CopyQueue::helper, this, i);
        }
    }
    {
        std::lock_guard lock(mutex_);
        job.pathOffset = paths_.size();
        paths_ += path;
        job.sharedOffset = paths_.size();
        paths_ += sharedPath;
        jobs_.push_back(job);
    }
    work_.notify_one();
}

void CopyQueue::waitForAll() {
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [this] { return done_ == jobs_.size(); });
}

void CopyQueue::reset() {
    std::lock_guard lock(mutex_);
    jobs_.clear();
    paths_.clear();
    next_ = 0;
    done_ = 0;
}

void CopyQueue::helper(unsigned slot) {
    std::string path;   // the copy in hand, for the progress display
    std::string shared; // the file a link in hand shares
    std::unique_lock lock(mutex_);
    for (;;) {
        work_.wait(lock, [this] { return closing_ || next_ < jobs_.size(); });
        if (next_ >= jobs_.size()) {
            return; // closing, and nothing is left to do
        }
        const std::size_t index = next_++;
        const Job job = jobs_[index];
        path.assign(paths_, job.pathOffset, job.pathLength);
        shared.assign(paths_, job.sharedOffset, job.sharedLength);
        lock.unlock();
        CopyOutcome outcome = CopyOutcome::Stopped;
        int error = 0;
        if (!stop_.load(std::memory_order_relaxed)) {
            g_syncStats.copies.beginCopy(slot, path);
            const char* name = path.c_str() + path.size() - job.nameLength;
            // A target that cannot link (another file system, too many links, no links
            // at all, the file to share missing) gets a copy of its own.
            const bool linked =
                job.root != kNoFolder && fs_.linkFile(job.root, shared, job.to, name) == 0;
            errno = 0; // a copy that fails without a reason must not pass on an older one
            outcome =
                linked ? CopyOutcome::Copied : fs_.copy(job.from, job.to, name, job.kind, stop_);
            error = errno;
            g_syncStats.copies.endCopy(slot);
        }
        lock.lock();
        jobs_[index].outcome = outcome;
        jobs_[index].error =
            outcome == CopyOutcome::Copied || outcome == CopyOutcome::Stopped ? 0 : error;
        if (++done_ == jobs_.size()) {
            finished_.notify_one();
        }
    }
}

} // namespace kestrova
