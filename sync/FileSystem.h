#pragma once

#include <atomic>
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

// Links are never followed; pipes, sockets and devices are Special and never opened.
enum class EntryKind : std::uint8_t { File, Folder, Link, Special };

// What looking up one name found. `error` is 0 when the name exists, else the errno.
struct LookUpResult {
    int error = 0;
    EntryKind kind = EntryKind::File;
    FileTime modified;
    bool ownerWritable = true;
};

// Tells whether two open folders are the same folder, whatever paths led to them.
struct FolderIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    friend bool operator==(const FolderIdentity&, const FolderIdentity&) = default;
};

enum class CopyOutcome { Copied, Failed, Stopped };

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

    // Gives `name` in `to` the contents (or link text), modification time and
    // permission bits of `name` in `from`, replacing what was there only once the
    // copy is complete. A failed or stopped copy leaves no partial file behind.
    // Called from several threads at once, for different entries.
    virtual CopyOutcome copy(FolderHandle from, FolderHandle to, const char* name, EntryKind kind,
                             const std::atomic<bool>& stop) = 0;
    virtual int createFolder(FolderHandle parent, const char* name) = 0;
    // Deletes a file, link or special file (never what a link points to).
    virtual int deleteFile(FolderHandle parent, const char* name) = 0;
    // Removes an empty folder.
    virtual int removeFolder(FolderHandle parent, const char* name) = 0;
};

} // namespace kestrova
