// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrova {

class FolderListing;

// A last-write time: the modification time with nanoseconds, compared exactly.
struct FileTime {
    std::int64_t seconds = 0;
    std::int64_t nanoseconds = 0;
    friend bool operator==(const FileTime&, const FileTime&) = default;
};

inline constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;

// Whether `a` and `b` fall on the same step of `step` nanoseconds (file systems cut
// times down to their step): the same time as far as such a file system can tell.
inline bool SameTimeAtStep(const FileTime& a, const FileTime& b, std::int64_t step) {
    if (step <= 1) {
        return a == b;
    }
    if (step < kNanosecondsPerSecond) {
        return a.seconds == b.seconds && a.nanoseconds / step == b.nanoseconds / step;
    }
    const std::int64_t seconds = step / kNanosecondsPerSecond;
    const auto floorStep = [seconds](std::int64_t value) {
        return value >= 0 ? value / seconds : -((-value + seconds - 1) / seconds);
    };
    return floorStep(a.seconds) == floorStep(b.seconds);
}

// Links are never followed; pipes, sockets and devices are Special and never opened.
enum class EntryKind : std::uint8_t { File, Folder, Link, Special };

// What looking up one name found. `error` is 0 when the name exists, else the errno.
struct LookUpResult {
    int error = 0;
    EntryKind kind = EntryKind::File;
    FileTime modified{};
    bool ownerWritable = true;
    std::uint64_t size = 0;
    // The number of names the entry has (hard links) and, where that is above one, the
    // device and inode that tell which entries share it; 1 where names cannot share.
    std::uint32_t links = 1;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};

// Tells whether two open folders are the same folder, whatever paths led to them,
// and on which mount the folder was reached: a bind mount shows a folder of the same
// file system (same device and inode) on another mount.
struct FolderIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t mount = 0;  // the mount's id, or the device where ids are unknown
    unsigned permissions = 0; // permission bits, set-user-ID, set-group-ID and sticky
    std::uint32_t owner = 0;  // user and group ids; 0 where there are none
    std::uint32_t group = 0;
    FileTime modified{};
    // The same folder, on whichever mount.
    friend bool operator==(const FolderIdentity& a, const FolderIdentity& b) {
        return a.device == b.device && a.inode == b.inode;
    }
};

// WriteFailed: the target could not take the copy (no space, quota, I/O error,
// read-only file system, file too large), so it may lack more than this one entry.
// ReadFailed: the source file could not be read (an I/O error on its disk); the
// target is as it was. NotCreated: a special file the target refused to create (a
// device node without the privilege to make one, a file system without pipes): left
// out, not a failure.
enum class CopyOutcome { Copied, Failed, WriteFailed, ReadFailed, Stopped, NotCreated };

// An open folder. Every other operation names an entry relative to one, so that walks
// work below any depth and never pass through a link.
using FolderHandle = int;
inline constexpr FolderHandle kNoFolder = -1;

// All file-system work of a run goes through this port. The POSIX implementation is
// the real one; tests derive from it and override a single operation to force a fault.
// Operations that can fail return 0 or an errno value.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Opens a root folder by its full path; a link naming the root is followed.
    virtual int openRoot(const std::string& path, FolderHandle& folder) = 0;
    // Opens the sub-folder `name` of `parent`, refusing links.
    virtual int openFolder(FolderHandle parent, const char* name, FolderHandle& folder) = 0;
    virtual void closeFolder(FolderHandle folder) = 0;
    virtual int identify(FolderHandle folder, FolderIdentity& identity) = 0;

    // Replaces `listing` with the folder's entries ("." and ".." left out) in byte
    // order of their names, each with its kind (times are read by `lookUp` when needed).
    virtual int enumerate(FolderHandle folder, FolderListing& listing) = 0;
    // Looks up one name without following a link.
    virtual LookUpResult lookUp(FolderHandle folder, const char* name) = 0;
    // Orders two names of one folder the way the file system matches them (< 0, 0,
    // > 0), the order `enumerate` lists them in: by bytes here; a port whose names
    // match without regard to letter case orders them that way, so that merging two
    // listings finds each name's counterpart.
    virtual int compareNames(std::string_view a, std::string_view b) const { return a.compare(b); }

    // Gives `name` in `to` the contents (or link text), modification time, permission
    // bits and extended attributes of `name` in `from`, replacing what was there only
    // once the copy is complete and on disk; a special file is made anew, never opened.
    // Where the run may set owners (see setOwner) the copy takes the source's owner and
    // group; set-user-ID and set-group-ID are kept where the copy has both. A failed or
    // stopped copy leaves no partial file behind; a failed copy leaves its reason in
    // errno, as a failed system call does. Attributes the target cannot hold are left
    // out without failing the copy and counted in the run's statistics. Called from
    // several threads at once, for different entries.
    virtual CopyOutcome copy(FolderHandle from, FolderHandle to, const char* name, EntryKind kind,
                             const std::atomic<bool>& stop) = 0;
    virtual int createFolder(FolderHandle parent, const char* name) = 0;
    // Gives the folder `to` the extended attributes (access control lists included) of
    // the folder `from`, as `copy` does for files.
    virtual int copyAttributes(FolderHandle from, FolderHandle to) = 0;
    // The step, in nanoseconds, to which files in `folder` keep their modification
    // times: 1 where every nanosecond is kept, 1'000'000'000 for whole seconds.
    virtual std::int64_t timeStep(FolderHandle folder) = 0;
    // Deletes a file, link or special file (never what a link points to). Besides an
    // errno value, it may fail with one of the run's own reasons (EntryFailure.h),
    // which the prune pass lists with the entry.
    virtual int deleteFile(FolderHandle parent, const char* name) = 0;
    // Removes an empty folder.
    virtual int removeFolder(FolderHandle parent, const char* name) = 0;
    // Renames the entry `from` of `folder` to `to`, within that folder.
    virtual int renameEntry(FolderHandle folder, const char* from, const char* to) = 0;
    // Moves the entry `from` of `fromFolder` to the name `to` in `toFolder`, on one
    // mount, never replacing what holds that name (EEXIST then); the entry is at one
    // place or the other at every moment. ENOTSUP where the port cannot move entries:
    // the run then copies instead.
    virtual int moveEntry(FolderHandle, const char*, FolderHandle, const char*) { return ENOTSUP; }
    // Sets an open folder's permission bits.
    virtual int setPermissions(FolderHandle folder, unsigned permissions) = 0;
    // Gives an open folder an owner and a group, where the run may set owners (as root,
    // or with the capability to change owners); EPERM where it may not.
    virtual int setOwner(FolderHandle folder, std::uint32_t owner, std::uint32_t group) = 0;
    // Sets an open folder's modification time.
    virtual int setFolderTime(FolderHandle folder, const FileTime& modified) = 0;
    // Gives `name` in `to` the very file at `path` (names joined by "/" below the open
    // folder `root`, no link followed on the way) as a further name, replacing what was
    // there only once it is in place; 0 or an errno (ENOTSUP where names cannot share a
    // file).
    virtual int linkFile(FolderHandle root, std::string_view path, FolderHandle to,
                         const char* name) = 0;
    // Takes an exclusive advisory lock on an open folder without waiting (EWOULDBLOCK
    // while another open of it holds one). Closing the folder releases it.
    virtual int lockFolder(FolderHandle folder) = 0;

    // Makes durable what this port wrote since the last call (contents, names and
    // folders, on every file system written to) and the file system holding the open
    // folder `root`, then clears `root`'s unsettled mark. Returns 0, or the write error
    // a file system reported since `root` was opened (the mark then stays).
    virtual int makeDurable(FolderHandle root) = 0;
    // A pair's target root carries an unsettled mark while copies in it may not yet be
    // on disk: a new copy cut off by a power cut may be left short under its source's
    // time. `markUnsettled` sets it before the pair's first change; `unsettled` tells
    // that a run which never finished left it.
    virtual void markUnsettled(FolderHandle root) = 0;
    virtual bool unsettled(FolderHandle root) = 0;

    // How many helper threads may read through this port (open, identify, enumerate,
    // look up) alongside a copy pass's walk. 0, the default, keeps every read on the
    // walking thread, in walk order, as a stand-in that counts or stages reads needs.
    unsigned readHelpers() const { return readHelpers_; }
    void setReadHelpers(unsigned helpers) { readHelpers_ = helpers; }

private:
    unsigned readHelpers_ = 0;
};

} // namespace kestrova
