#include "sync/CopyQueue.h"

#include "sync/SyncStats.h"
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
    if (helpers_.empty()) {
        helpers_.reserve(helperCount_);
        for (unsigned i = 0; i < helperCount_; ++i) {
            helpers_.emplace_back(&CopyQueue::helper, this, i);
        }
    }
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(
            {from, to, name.size(), kind, paths_.size(), path.size(), CopyOutcome::Failed, 0});
        paths_ += path;
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
    std::string path; // the copy in hand, for the progress display
    std::unique_lock lock(mutex_);
    for (;;) {
        work_.wait(lock, [this] { return closing_ || next_ < jobs_.size(); });
        if (next_ >= jobs_.size()) {
            return; // closing, and nothing is left to do
        }
        const std::size_t index = next_++;
        const Job job = jobs_[index];
        path.assign(paths_, job.pathOffset, job.pathLength);
        lock.unlock();
        CopyOutcome outcome = CopyOutcome::Stopped;
        int error = 0;
        if (!stop_.load(std::memory_order_relaxed)) {
            g_syncStats.copies.beginCopy(slot, path);
            errno = 0; // a copy that fails without a reason must not pass on an older one
            outcome = fs_.copy(job.from, job.to, path.c_str() + path.size() - job.nameLength,
                               job.kind, stop_);
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
