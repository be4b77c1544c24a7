// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "fs/FileSystem.h"
#include "fs/FolderListing.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace kestrova {

// A folder a helper opened and hands to the walk, so that the walk need not open and
// identify it again; closed here when the walk does not take it.
class HeldFolder {
public:
    HeldFolder() = default;
    HeldFolder(FileSystem& fs, FolderHandle handle, std::atomic<unsigned>& count)
        : fs_(&fs), handle_(handle), count_(&count) {
        count_->fetch_add(1, std::memory_order_relaxed);
    }
    ~HeldFolder() { close(); }
    HeldFolder(HeldFolder&& other) noexcept { *this = std::move(other); }
    HeldFolder& operator=(HeldFolder&& other) noexcept;

    bool held() const { return handle_ != kNoFolder; }
    // The handle, which the caller now closes.
    FolderHandle release();

private:
    void close();
    FileSystem* fs_ = nullptr;
    FolderHandle handle_ = kNoFolder;
    std::atomic<unsigned>* count_ = nullptr;
};

// What was read of one folder ahead of the walk: both sides' listings and, for each
// source entry that is not a folder and may have a target counterpart, the target's look-up and,
// where that found the name, the source's.
struct FolderFacts {
    FolderIdentity source;
    FolderListing sourceEntries;
    bool haveTarget = false; // the target folder was opened, identified and listed
    FolderIdentity target;
    FolderListing targetEntries;
    std::vector<std::uint8_t> looked; // per source entry: the look-ups below were made
    std::vector<LookUpResult> targetLooks;
    std::vector<LookUpResult> sourceLooks;
    HeldFolder sourceFolder; // the folders read, where the helper could hand them over
    HeldFolder targetFolder;
};

// Reads folders on helper threads ahead of the copy pass's walk, so that a tree that
// is mostly up to date is examined on every core. The helpers only read; the walk
// makes every decision and every change, in its own order, from what they read or,
// where they have not read a folder (or read another one than the walk is in), from
// its own reads. A helper hands the folders it read over with their facts, so that
// the walk goes on in the very folders the facts describe. While the walk would wait
// for a helper, it reads the next folder itself. Folders are named by keys: their
// names from the root, each followed by a NUL, so that the walk's order is the order
// of the keys.
class LookAhead {
public:
    // `caseInsensitive`: the target matches names without regard to case, so every
    // source file is looked up there. `wanted`, when given, tells which folders the
    // walk will go into: no other is read.
    LookAhead(FileSystem& fs, std::string sourceRoot, std::string targetRoot, bool caseInsensitive,
              const std::atomic<bool>& stop, unsigned helpers,
              std::function<bool(std::string_view key)> wanted = {});
    ~LookAhead();
    LookAhead(const LookAhead&) = delete;
    LookAhead& operator=(const LookAhead&) = delete;

    // The facts of the folder at `key`, or null when the walk must read it itself;
    // folders before it in walk order are given up. Waits for a helper reading it.
    std::unique_ptr<FolderFacts> take(std::string_view key);
    // The walk read the folder at `key` itself: its sub-folders are to be read next.
    void expand(std::string_view key, const FolderListing& entries);

private:
    struct Slot {
        enum class State : std::uint8_t { Pending, Working, Ready };
        std::string key;
        State state = State::Pending;
        bool abandoned = false; // given up while a helper was reading it
        std::unique_ptr<FolderFacts> facts;
    };
    using Slots = std::list<Slot>;
    class OpenPath;

    void helper();
    // Reads the first pending folder, if any; false when none is pending.
    bool readNext(std::unique_lock<std::mutex>& lock, OpenPath& source, OpenPath& target);
    Slots::iterator nextPending();
    std::unique_ptr<FolderFacts> read(OpenPath& source, OpenPath& target, const std::string& key);
    void handOver(OpenPath& path, HeldFolder& folder);
    void insertChildren(Slots::iterator before, std::string_view key, const FolderListing& entries);
    int compareKeys(std::string_view a, std::string_view b) const;
    bool ending() const;

    FileSystem& fs_;
    const std::string sourceRoot_;
    const std::string targetRoot_;
    const bool caseInsensitive_;
    const std::function<bool(std::string_view)> wanted_;
    const std::atomic<bool>& stop_;
    std::mutex mutex_;
    std::condition_variable work_;  // a slot became pending, or the end came
    std::condition_variable ready_; // a slot was read
    Slots slots_;                   // in walk order
    std::atomic<bool> closing_{false};
    std::atomic<unsigned> held_{0}; // folders handed over and not yet taken or closed
    std::vector<std::thread> helpers_;
    std::unique_ptr<OpenPath> walkSource_; // where the walk reads while it would wait
    std::unique_ptr<OpenPath> walkTarget_;
};

} // namespace kestrova
