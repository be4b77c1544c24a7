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
};

// Reads folders on helper threads ahead of the copy pass's walk, so that a tree that
// is mostly up to date is examined on every core. The helpers only read; the walk
// makes every decision and every change, in its own order, from what they read or,
// where they have not read a folder (or read another one than the walk is in), from
// its own reads. Folders are named by keys: their names from the root, each followed
// by a NUL, so that the walk's order is the order of the keys.
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
    Slots::iterator nextPending();
    std::unique_ptr<FolderFacts> read(OpenPath& source, OpenPath& target, const std::string& key);
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
    std::vector<std::thread> helpers_;
};

} // namespace kestrova
