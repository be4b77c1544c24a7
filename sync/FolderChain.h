// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "fs/FileSystem.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kestrova {

// The chain of folders from a root down to the folder a walk is in. Only the root and
// the deepest few levels are kept open, so a walk of any depth stays far below the
// limit of open files; a level closed on the way down is reopened by name, relative
// to the nearest open level above it, when the walk comes back up to it.
//
// A level that could not be opened stays in the chain with its error, and so do
// levels entered below it: looking a name up there gives that error.
class FolderChain {
public:
    explicit FolderChain(FileSystem& fs, std::size_t maxOpenLevels = 32);
    ~FolderChain();
    FolderChain(const FolderChain&) = delete;
    FolderChain& operator=(const FolderChain&) = delete;

    // Starts the chain at `path`; returns 0 or the errno of opening it.
    int openRoot(const std::string& path);
    // Goes down into the sub-folder `name` of the current level; returns its error.
    int enter(const char* name);
    // Goes down into the sub-folder `name` of the current level, already open as
    // `handle`, which the chain now owns; returns its error as enter() does.
    int adopt(const char* name, FolderHandle handle);
    // Hands the current level's open handle (or kNoFolder) to the caller, who closes
    // it; the level stays and is reopened when it is needed again.
    FolderHandle release();
    // Goes back up one level.
    void leave();
    // Goes back up one level, handing the level's open handle (or kNoFolder) to the
    // caller, who closes it.
    FolderHandle leaveKeepingOpen();
    // Whether every level that can be open is, and entering one more closes none.
    bool opensWithoutClosing() const;

    // The current folder, reopened if needed; kNoFolder when it cannot be opened.
    FolderHandle handle();
    // The root folder, open while the chain has one; kNoFolder otherwise.
    FolderHandle root() const { return levels_.front().handle; }
    // 0 while the current folder is open or can be reopened, else its errno.
    int error() const { return levels_.back().error; }
    std::size_t depth() const { return levels_.size() - 1; }

private:
    struct Level {
        std::uint32_t nameOffset;
        FolderHandle handle;
        int error;
    };
    void closeAll();
    void closeShallowest();
    void reopen(std::size_t index);
    void keep(std::size_t index, FolderHandle handle);

    FileSystem& fs_;
    std::size_t maxOpen_;
    std::size_t open_ = 0;
    std::string names_; // NUL-terminated names of the levels below the root
    std::vector<Level> levels_;
};

} // namespace kestrova
