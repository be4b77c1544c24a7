// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "fs/FileSystem.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <unordered_map>

namespace kestrova {

// The file-system port on POSIX: every call is relative to an open folder handle
// (openat, fstatat, unlinkat, ...), so paths of any length and depth work and no
// link is ever followed below a root. A copy is written to an unnamed file in the
// target folder (O_TMPFILE) and linked into place only when complete; where the file
// system has no unnamed files, a named temporary is renamed over the target instead.
// A copy that replaces an older one is flushed to disk (fdatasync) first; new copies
// are made durable together, by makeDurable at the end of a pair.
// Contents are filled with copy_file_range (read/write where the kernel cannot), and
// holes stay holes. One instance serves one run; copies and reads may run on
// several threads at once.
class PosixFileSystem : public FileSystem {
public:
    PosixFileSystem();
    ~PosixFileSystem() override;

    int openRoot(const std::string& path, FolderHandle& folder) override;
    int openFolder(FolderHandle parent, const char* name, FolderHandle& folder) override;
    void closeFolder(FolderHandle folder) override;
    int identify(FolderHandle folder, FolderIdentity& identity) override;
    int enumerate(FolderHandle folder, FolderListing& listing) override;
    LookUpResult lookUp(FolderHandle folder, const char* name) override;
    CopyOutcome copy(FolderHandle from, FolderHandle to, const char* name, EntryKind kind,
                     const std::atomic<bool>& stop) override;
    int createFolder(FolderHandle parent, const char* name) override;
    int copyAttributes(FolderHandle from, FolderHandle to) override;
    std::int64_t timeStep(FolderHandle folder) override;
    int deleteFile(FolderHandle parent, const char* name) override;
    int removeFolder(FolderHandle parent, const char* name) override;
    int renameEntry(FolderHandle folder, const char* from, const char* to) override;
    int moveEntry(FolderHandle fromFolder, const char* from, FolderHandle toFolder,
                  const char* to) override;
    int setPermissions(FolderHandle folder, unsigned permissions) override;
    int setOwner(FolderHandle folder, std::uint32_t owner, std::uint32_t group) override;
    int setFolderTime(FolderHandle folder, const FileTime& modified) override;
    int linkFile(FolderHandle root, std::string_view path, FolderHandle to,
                 const char* name) override;
    int lockFolder(FolderHandle folder) override;
    int makeDurable(FolderHandle root) override;
    void markUnsettled(FolderHandle root) override;
    bool unsettled(FolderHandle root) override;

    // Bytes moved between two checks for a stop request while copying one file.
    static constexpr std::size_t kCopyChunk = 4 << 20;

private:
    CopyOutcome copyFile(FolderHandle from, FolderHandle to, const char* name,
                         const std::atomic<bool>& stop);
    CopyOutcome copyLink(FolderHandle from, FolderHandle to, const char* name);
    // Makes a pipe, socket or device node like `name` in `from` without opening either.
    CopyOutcome copySpecial(FolderHandle from, FolderHandle to, const char* name);
    // Gives the new file `to`, made in a folder where new files get the group
    // `newGroup`, the owner of `source` where the run may set owners; tells whether the
    // copy has the source's owner and group, so may keep set-id bits.
    bool giveOwner(int to, const struct stat& source, std::int64_t newGroup);
    // What a copy made in a target folder takes from it.
    struct FolderTraits {
        bool inherits = false;      // a default access control list
        std::int64_t newGroup = -1; // the group new files get; -1 where it cannot be told
    };
    // Fills the new file `to`, made in a folder of `traits`, from the open file `from`:
    // contents, owner, extended attributes, permission bits and times; false on a
    // failure or a stop.
    bool fillCopy(int from, const struct stat& source, int to, const FolderTraits& traits,
                  const std::atomic<bool>& stop);
    // Puts the complete unnamed file `file` in place as `name`; 0 or an errno.
    int linkIntoPlace(int file, FolderHandle to, const char* name);
    struct TemporaryName {
        char text[64];
    };
    void makeTemporaryName(TemporaryName& name);
    // The first time a copy goes into the open folder `folder`, removes the
    // temporaries that runs no longer alive left there. Tells what a copy made there
    // takes from the folder.
    FolderTraits prepareFolder(FolderHandle folder);
    void removeStaleTemporaries(FolderHandle folder);
    // Keeps a descriptor on the file system holding `folder` for makeDurable, the first
    // time something is written there.
    void noteWritten(FolderHandle folder);

    std::atomic<unsigned long> temporaryCounter_{0};
    std::atomic<bool> unnamedFiles_{true}; // cleared where they cannot be linked
    const bool mayChangeOwners_;           // root, or the capability to change owners
    const std::uint32_t processUser_;      // whom new files belong to
    const std::uint32_t processGroup_;
    long processId_;
    std::mutex foldersMutex_;
    // Open target folders copied into, with what they hand on.
    std::unordered_map<FolderHandle, FolderTraits> copiedInto_;
    // A folder on each file system written to since the last makeDurable, by device.
    std::unordered_map<std::uint64_t, int> written_;
};

} // namespace kestrova
