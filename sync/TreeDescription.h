// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "fs/FileSystem.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrova {

// What a tree must be to stand for another, so that a move can replace a copy.
struct TreeRules {
    std::int64_t timeStep = 1; // the target's time step
    std::uint64_t mount = 0;   // every folder of the tree lies on this mount
    // A folder the tree must not hold (the other pair root); null for none.
    const FolderIdentity* avoid = nullptr;
    // A read-only file makes the tree unfit: the delete option keeps such a file, and
    // the folders that hold it, where they are.
    bool refuseReadOnly = false;
    // Descriptions longer than this are given up.
    std::size_t limit = 0;
    const std::atomic<bool>* stop = nullptr;
};

// Describes the tree of the folder `name` in `parent` into `description`: every
// entry's name and kind in byte order of the names, and for what is not a folder its
// size and its time as the target's step keeps it, a folder's contents after it.
// Two trees with equal descriptions hold the same data by the rule a run compares
// copies with. False where the tree cannot stand for another: unreadable, changed
// while read, reaching another mount or the avoided folder, holding a file with other
// names (hard links) or nothing but folders, or over the limit. `files` counts what
// is not a folder.
bool DescribeTree(FileSystem& fs, FolderHandle parent, const char* name, const TreeRules& rules,
                  std::string& description, std::size_t& files);

// A time in a form equal for two times exactly when SameTimeAtStep holds for them.
struct TimeAtStep {
    std::int64_t step;
    std::int64_t within;
    friend bool operator==(const TimeAtStep&, const TimeAtStep&) = default;
};
TimeAtStep TimeOnStep(const FileTime& time, std::int64_t step);

// Opens the folder named by `key` (names each followed by a NUL) below `root`,
// following no link; 0 or an errno. An empty key opens nothing and gives `root`.
int OpenBelow(FileSystem& fs, FolderHandle root, std::string_view key, FolderHandle& folder);

} // namespace kestrova
