// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "sync/FolderChain.h"

#include <cerrno>

namespace kestrova {

FolderChain::FolderChain(FileSystem& fs, std::size_t maxOpenLevels)
    : fs_(fs), maxOpen_(maxOpenLevels < 2 ? 2 : maxOpenLevels) {
    levels_.push_back({0, kNoFolder, ENOENT});
}

FolderChain::~FolderChain() {
    closeAll();
}

void FolderChain::closeAll() {
    for (Level& level : levels_) {
        if (level.handle != kNoFolder) {
            fs_.closeFolder(level.handle);
            level.handle = kNoFolder;
        }
    }
    open_ = 0;
}

int FolderChain::openRoot(const std::string& path) {
    closeAll();
    levels_.resize(1);
    names_.clear();
    FolderHandle handle = kNoFolder;
    const int error = fs_.openRoot(path, handle);
    levels_[0] = {0, kNoFolder, error};
    if (error == 0) {
        keep(0, handle);
    }
    return error;
}

void FolderChain::keep(std::size_t index, FolderHandle handle) {
    levels_[index].handle = handle;
    ++open_;
    if (open_ > maxOpen_) {
        closeShallowest();
    }
}

// The root stays open, so reopening never needs a path longer than one name.
void FolderChain::closeShallowest() {
    for (std::size_t i = 1; i + 1 < levels_.size(); ++i) {
        if (levels_[i].handle != kNoFolder) {
            fs_.closeFolder(levels_[i].handle);
            levels_[i].handle = kNoFolder;
            --open_;
            return;
        }
    }
}

int FolderChain::enter(const char* name) {
    const int parentError = levels_.back().error;
    const auto offset = static_cast<std::uint32_t>(names_.size());
    names_.append(name);
    names_.push_back('\0');
    if (parentError != 0) {
        levels_.push_back({offset, kNoFolder, parentError});
        return parentError;
    }
    const FolderHandle parentHandle = handle();
    levels_.push_back({offset, kNoFolder, 0});
    if (parentHandle == kNoFolder) {
        levels_.back().error = levels_[levels_.size() - 2].error;
        return levels_.back().error;
    }
    FolderHandle child = kNoFolder;
    const int error = fs_.openFolder(parentHandle, names_.c_str() + offset, child);
    if (error != 0) {
        levels_.back().error = error;
        return error;
    }
    keep(levels_.size() - 1, child);
    return 0;
}

int FolderChain::adopt(const char* name, FolderHandle handle) {
    if (levels_.back().error != 0) {
        fs_.closeFolder(handle);
        return enter(name);
    }
    const auto offset = static_cast<std::uint32_t>(names_.size());
    names_.append(name);
    names_.push_back('\0');
    levels_.push_back({offset, kNoFolder, 0});
    keep(levels_.size() - 1, handle);
    return 0;
}

FolderHandle FolderChain::release() {
    Level& level = levels_.back();
    if (levels_.size() <= 1 || level.handle == kNoFolder) {
        return kNoFolder; // the root stays open: reopening starts from it
    }
    const FolderHandle handle = level.handle;
    level.handle = kNoFolder;
    --open_;
    return handle;
}

void FolderChain::leave() {
    const FolderHandle handle = leaveKeepingOpen();
    if (handle != kNoFolder) {
        fs_.closeFolder(handle);
    }
}

FolderHandle FolderChain::leaveKeepingOpen() {
    if (levels_.size() <= 1) {
        return kNoFolder;
    }
    const Level level = levels_.back();
    if (level.handle != kNoFolder) {
        --open_;
    }
    names_.resize(level.nameOffset);
    levels_.pop_back();
    return level.handle;
}

bool FolderChain::opensWithoutClosing() const {
    if (open_ >= maxOpen_) {
        return false;
    }
    for (const Level& level : levels_) {
        if (level.error == 0 && level.handle == kNoFolder) {
            return false;
        }
    }
    return true;
}

FolderHandle FolderChain::handle() {
    Level& level = levels_.back();
    if (level.handle == kNoFolder && level.error == 0) {
        reopen(levels_.size() - 1);
    }
    return level.handle;
}

void FolderChain::reopen(std::size_t index) {
    std::size_t from = index;
    while (levels_[from].handle == kNoFolder) {
        --from; // the root is open whenever a level below it has no error
    }
    for (std::size_t i = from + 1; i <= index; ++i) {
        FolderHandle child = kNoFolder;
        const int error =
            fs_.openFolder(levels_[i - 1].handle, names_.c_str() + levels_[i].nameOffset, child);
        if (error != 0) {
            // The folder went away while the walk was below it.
            for (std::size_t j = i; j <= index; ++j) {
                levels_[j].error = error;
            }
            return;
        }
        keep(i, child);
    }
}

} // namespace kestrova
