// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "fs/FileSystem.h"

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <sys/types.h>

namespace kestrova {

// A port that makes a run's deletions recoverable: what the prune pass deletes and
// what a copy replaces goes to the desktop trash of the file system holding it, with
// a .trashinfo file that names where it was and when it went. The trash of the home
// file system is $XDG_DATA_HOME/Trash (~/.local/share/Trash); any other file system
// has its own at its mount point: .Trash/$uid where the administrator made a .Trash
// folder with the sticky bit, else .Trash-$uid. Where no such trash can be used,
// nothing is deleted or replaced and `trashMissing` turns true. Nothing inside a
// trash is ever deleted through this port, should a target hold one.
//
// On Windows the trash is the Recycle Bin of the drive holding the entry; a file the
// bin would not keep (see WindowsTrashFileSystem.cpp) stays as if there were no trash.
//
// Every other call goes to `base`, whose folder handles must be open descriptors
// (the POSIX port) or the Windows port's. Copies may run on several threads at once,
// as there.
class TrashFileSystem : public FileSystem {
public:
    explicit TrashFileSystem(FileSystem& base);
    ~TrashFileSystem() override;
    TrashFileSystem(const TrashFileSystem&) = delete;
    TrashFileSystem& operator=(const TrashFileSystem&) = delete;

    // Whether an entry stayed for want of a usable trash since the last call.
    bool takeTrashMissing() { return trashMissing_.exchange(false); }

    int openRoot(const std::string& path, FolderHandle& folder) override {
        return base_.openRoot(path, folder);
    }
    int openFolder(FolderHandle parent, const char* name, FolderHandle& folder) override {
        return base_.openFolder(parent, name, folder);
    }
    void closeFolder(FolderHandle folder) override { base_.closeFolder(folder); }
    int identify(FolderHandle folder, FolderIdentity& identity) override {
        return base_.identify(folder, identity);
    }
    int enumerate(FolderHandle folder, FolderListing& listing) override {
        return base_.enumerate(folder, listing);
    }
    int compareNames(std::string_view a, std::string_view b) const override {
        return base_.compareNames(a, b);
    }
    LookUpResult lookUp(FolderHandle folder, const char* name) override {
        return base_.lookUp(folder, name);
    }
    CopyOutcome copy(FolderHandle from, FolderHandle to, const char* name, EntryKind kind,
                     const std::atomic<bool>& stop) override;
    int createFolder(FolderHandle parent, const char* name) override {
        return base_.createFolder(parent, name);
    }
    int copyAttributes(FolderHandle from, FolderHandle to) override {
        return base_.copyAttributes(from, to);
    }
    std::int64_t timeStep(FolderHandle folder) override { return base_.timeStep(folder); }
    int deleteFile(FolderHandle parent, const char* name) override;
    // An empty folder holds nothing to recover: it is removed as before.
    int removeFolder(FolderHandle parent, const char* name) override {
        return base_.removeFolder(parent, name);
    }
    int renameEntry(FolderHandle folder, const char* from, const char* to) override {
        return base_.renameEntry(folder, from, to);
    }
    // A moved entry stays in the backup: nothing goes to the trash.
    int moveEntry(FolderHandle fromFolder, const char* from, FolderHandle toFolder,
                  const char* to) override {
        return base_.moveEntry(fromFolder, from, toFolder, to);
    }
    int setPermissions(FolderHandle folder, unsigned permissions) override {
        return base_.setPermissions(folder, permissions);
    }
    int setOwner(FolderHandle folder, std::uint32_t owner, std::uint32_t group) override {
        return base_.setOwner(folder, owner, group);
    }
    int setFolderTime(FolderHandle folder, const FileTime& modified) override {
        return base_.setFolderTime(folder, modified);
    }
    // What the new name replaces goes to the trash, as what a copy replaces does.
    int linkFile(FolderHandle root, std::string_view path, FolderHandle to,
                 const char* name) override;
    int lockFolder(FolderHandle folder) override { return base_.lockFolder(folder); }
    int makeDurable(FolderHandle root) override { return base_.makeDurable(root); }
    void markUnsettled(FolderHandle root) override { base_.markUnsettled(root); }
    bool unsettled(FolderHandle root) override { return base_.unsettled(root); }

private:
    // One file system's trash: its files/ and info/ folders, open, the folder that
    // .trashinfo paths are relative to ("" for full paths), and where it is.
    struct Can {
        int files = -1;
        int info = -1;
        std::string top;
        std::string root;
    };
    // The trash of the file system holding the open folder `parent`, or null. The
    // lock held.
    const Can* canFor(FolderHandle parent, const std::string& folderPath);
    // Puts `name` in `parent` into the trash: moved, or with `keep` hard-linked so that
    // it stays in place too. Writes `trashName` for `release`; 0 or an errno.
    int putInTrash(FolderHandle parent, const char* name, bool keep, std::string& trashName,
                   const Can*& can);
    // Takes back what putInTrash kept, when the copy that was to replace it failed.
    void release(const Can& can, const std::string& trashName);

    FileSystem& base_;
    std::mutex mutex_;
    std::map<dev_t, Can> cans_; // files -1: that file system has no usable trash
    std::atomic<bool> trashMissing_{false};
};

} // namespace kestrova
