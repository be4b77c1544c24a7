#pragma once

#include "sync/FileSystem.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace kestrova {

// Copies files on helper threads while the walk goes on. Most of a first copy's
// time is the file system creating and filling files, which several threads can do
// at once; the walk itself, the decisions what to copy and the lists of the report
// stay on the walking thread, and `finish` hands the outcomes back in the order the
// copies were asked for, so the report reads exactly as if they were made one by one.
//
// The folders named in a queued copy must stay open until `finish` returns.
class CopyQueue {
public:
    CopyQueue(FileSystem& fs, const std::atomic<bool>& stop, unsigned helpers);
    ~CopyQueue();
    CopyQueue(const CopyQueue&) = delete;
    CopyQueue& operator=(const CopyQueue&) = delete;

    // Queues one copy; `name` must stay valid until `finish` returns. `path` is the
    // entry's full source path, kept for the report.
    void add(FolderHandle from, FolderHandle to, const char* name, EntryKind kind,
             const std::string& path);
    std::size_t pending() const { return jobs_.size(); }

    // Waits for every queued copy and calls `outcome(copyOutcome, path, error)` for
    // each, in the order they were queued; `error` is the errno a failed copy left
    // (0 when it left none). Returns false when a copy was stopped.
    template <typename Outcome> bool finish(Outcome&& outcome) {
        if (jobs_.empty()) {
            return true;
        }
        waitForAll();
        bool goOn = true;
        for (const Job& job : jobs_) {
            goOn = goOn && job.outcome != CopyOutcome::Stopped;
            outcome(job.outcome, std::string_view(paths_.data() + job.pathOffset, job.pathLength),
                    job.error);
        }
        reset();
        return goOn;
    }

private:
    struct Job {
        FolderHandle from;
        FolderHandle to;
        const char* name;
        EntryKind kind;
        std::size_t pathOffset;
        std::size_t pathLength;
        CopyOutcome outcome;
        int error;
    };
    void helper();
    void waitForAll();
    void reset();

    FileSystem& fs_;
    const std::atomic<bool>& stop_;
    const unsigned helperCount_;
    std::vector<std::thread> helpers_; // started with the first copy
    std::mutex mutex_;
    std::condition_variable work_;
    std::condition_variable finished_;
    std::vector<Job> jobs_;
    std::string paths_;
    std::size_t next_ = 0; // first job no helper has taken
    std::size_t done_ = 0;
    bool closing_ = false;
};

} // namespace kestrova
