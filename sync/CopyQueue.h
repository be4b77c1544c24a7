// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "fs/FileSystem.h"

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
// The folders named in a queued copy must stay open until `finish` returns; the walk
// may go on to other folders meanwhile.
class CopyQueue {
public:
    CopyQueue(FileSystem& fs, const std::atomic<bool>& stop, unsigned helpers);
    ~CopyQueue();
    CopyQueue(const CopyQueue&) = delete;
    CopyQueue& operator=(const CopyQueue&) = delete;

    // Queues the copy of `name` from `from` to `to`; `path` is the entry's full source
    // path, ending with `name`, kept for the report.
    void add(FolderHandle from, FolderHandle to, std::string_view name, EntryKind kind,
             const std::string& path);
    // Queues giving `name` in `to` the file at `sharedPath` below the open folder `root`
    // as a further name (see FileSystem::linkFile), for a file whose source shares its
    // inode with the source of that one; where the target cannot link, `name` is
    // copied from `from` instead. Reported as a copy.
    void addLink(FolderHandle from, FolderHandle to, std::string_view name, const std::string& path,
                 FolderHandle root, std::string_view sharedPath);
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
        std::size_t nameLength; // the name is the end of the path
        EntryKind kind;
        std::size_t pathOffset;
        std::size_t pathLength;
        CopyOutcome outcome;
        int error;
        FolderHandle root = kNoFolder; // for a link: where `shared` starts
        std::size_t sharedOffset = 0;  // for a link: the path of the file to share
        std::size_t sharedLength = 0;
    };
    void queue(Job job, const std::string& path, std::string_view sharedPath);
    // `slot`: this helper's place in the progress display of the copies under way.
    void helper(unsigned slot);
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
