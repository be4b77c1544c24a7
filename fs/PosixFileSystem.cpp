// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "fs/PosixFileSystem.h"

#include "fs/FolderListing.h"
#include "report/SyncStats.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <linux/capability.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace kestrova {

namespace {

constexpr std::size_t kBufferSize = 256 * 1024;
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

FileTime TimeOf(const struct stat& st) {
    return {static_cast<std::int64_t>(st.st_mtim.tv_sec),
            static_cast<std::int64_t>(st.st_mtim.tv_nsec)};
}

EntryKind KindOf(mode_t mode) {
    if (S_ISREG(mode)) {
        return EntryKind::File;
    }
    if (S_ISDIR(mode)) {
        return EntryKind::Folder;
    }
    if (S_ISLNK(mode)) {
        return EntryKind::Link;
    }
    return EntryKind::Special;
}

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Errors after which the pread/pwrite fall-back can still do the copy.
bool CopyRangeUnsupported(int error) {
    return error == EXDEV || error == ENOSYS || error == EINVAL || error == EOPNOTSUPP ||
           error == EBADF || error == EPERM || error == ETXTBSY;
}

// Failures that say the target cannot take what is written to it. A copy whose
// source could not be read says so instead (see t_sourceReadFailed).
bool TargetWriteError(int error) {
    return error == ENOSPC || error == EDQUOT || error == EIO || error == EROFS || error == EFBIG;
}

// Set on a copy's thread when reading its source failed, so that the failure names
// the source and does not hold deletions back as a target that cannot be written would.
thread_local bool t_sourceReadFailed = false;

// The mark of a target root whose copies may not all be on disk yet.
constexpr const char* kUnsettledMark = "user.kestrova.unsettled";

bool WriteAll(int fd, const char* data, std::size_t size, off_t at) {
    while (size > 0) {
        const ssize_t written = ::pwrite(fd, data, size, at);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        at += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Moves up to `want` bytes at offset `at` with pread and pwrite: the count moved, 0 at
// the end of the file, -1 on an error.
ssize_t ReadWrite(int from, int to, off_t at, std::size_t want) {
    // Copies run on several threads at once; each has its own buffer.
    thread_local std::unique_ptr<char[]> copyBuffer(new char[kBufferSize]);
    std::size_t moved = 0;
    while (moved < want) {
        const off_t offset = at + static_cast<off_t>(moved);
        const ssize_t got =
            ::pread(from, copyBuffer.get(), std::min(kBufferSize, want - moved), offset);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            t_sourceReadFailed = true;
            return -1;
        }
        if (got == 0) {
            break;
        }
        if (!WriteAll(to, copyBuffer.get(), static_cast<std::size_t>(got), offset)) {
            return -1;
        }
        moved += static_cast<std::size_t>(got);
    }
    return static_cast<ssize_t>(moved);
}

// Copies bytes [at, end) of `from` to the same offsets in `to`, checking for a stop
// between chunks; false on a failure or a stop. A file that became shorter since it
// was opened ends the range early.
bool CopyRange(int from, int to, off_t at, off_t end, off_t size, bool& useCopyRange,
               const std::atomic<bool>& stop) {
    while (at < end) {
        if (stop.load(std::memory_order_relaxed)) {
            return false;
        }
        const auto want = static_cast<std::size_t>(
            std::min<off_t>(end - at, static_cast<off_t>(PosixFileSystem::kCopyChunk)));
        ssize_t moved;
        if (useCopyRange) {
            off_t in = at;
            off_t out = at;
            moved = ::copy_file_range(from, &in, to, &out, want, 0);
            // Some file systems refuse the call or report an early end; pread/pwrite
            // then carries on from where it stopped. An I/O error may come from either
            // side: pread/pwrite tries the piece again and tells which.
            if ((moved < 0 && (CopyRangeUnsupported(errno) || errno == EIO)) || moved == 0) {
                useCopyRange = false;
                continue;
            }
        } else {
            moved = ReadWrite(from, to, at, want);
        }
        if (moved < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (moved == 0) {
            return true;
        }
        at += moved;
        ReportCopyProgress(static_cast<std::uint64_t>(at), static_cast<std::uint64_t>(size));
    }
    return true;
}

// Copies the data of `from` (described by `source` when it was opened) into the
// empty file `to`. Only the stretches that hold data are copied, so holes stay holes.
bool CopyContents(int from, const struct stat& source, int to, const std::atomic<bool>& stop) {
    const off_t size = source.st_size;
    bool useCopyRange = true;
    // A file with as many blocks as bytes has no hole: one range, no search for holes.
    if (source.st_blocks * 512 >= size) {
        return CopyRange(from, to, 0, size, size, useCopyRange, stop);
    }
    for (off_t at = 0; at < size;) {
        off_t data = ::lseek(from, at, SEEK_DATA);
        off_t hole = size;
        if (data < 0) {
            if (errno == ENXIO) {
                break; // nothing but a hole is left
            }
            data = at; // holes cannot be told here: all of it is data
        } else {
            hole = ::lseek(from, data, SEEK_HOLE);
            if (hole <= data || hole > size) {
                hole = size;
            }
        }
        if (data >= size) {
            break;
        }
        if (!CopyRange(from, to, data, hole, size, useCopyRange, stop)) {
            return false;
        }
        at = hole;
    }
    // A hole at the end is made by the size alone.
    return ::ftruncate(to, size) == 0;
}

constexpr const char* kAccessAcl = "system.posix_acl_access";
constexpr const char* kDefaultAcl = "system.posix_acl_default";

// Errors by which a target refuses an attribute it cannot hold, or that this process
// may not set (security.* and trusted.* without the privilege).
bool AttributeNotHeld(int error) {
    return error == EOPNOTSUPP || error == ENOSYS || error == EPERM || error == E2BIG ||
           error == ENOSPC || error == EDQUOT || error == ERANGE || error == EINVAL;
}

// Errors by which a file system without permission bits or owners refuses them:
// through FUSE drivers ENOSYS or EOPNOTSUPP, from others EPERM.
bool PermissionsNotHeld(int error) {
    return error == ENOSYS || error == EOPNOTSUPP || error == EPERM;
}

// Reads an attribute list or value with `get(buffer, size)` into `buffer`, sized
// first; the size read, or -1 with errno set.
template <typename Get> ssize_t ReadSized(std::string& buffer, Get get) {
    for (;;) {
        const ssize_t size = get(nullptr, 0);
        if (size <= 0) {
            return size;
        }
        buffer.resize(static_cast<std::size_t>(size));
        const ssize_t got = get(buffer.data(), buffer.size());
        if (got >= 0 || errno != ERANGE) {
            return got;
        }
        // It grew between the two calls: size it again.
    }
}

// Gives the new file or folder `to` the extended attributes of `from`, access control
// lists included; `inherited` tells that `to` may have taken lists from the folder it
// was made in, which the source's own replace. Returns 0 when all were kept,
// EOPNOTSUPP when the target refused some (the rest are kept), another errno on a
// failure.
int CopyExtendedAttributes(int from, int to, bool inherited, bool folder) {
    std::string names;
    const ssize_t listed = ReadSized(
        names, [from](char* list, std::size_t size) { return ::flistxattr(from, list, size); });
    if (listed < 0 && errno != EOPNOTSUPP) {
        t_sourceReadFailed = true;
        return errno;
    }
    bool refused = false;
    bool accessAcl = false;
    bool defaultAcl = false;
    std::string value;
    for (ssize_t at = 0; at < listed;
         at += static_cast<ssize_t>(std::strlen(names.data() + at)) + 1) {
        const char* name = names.data() + at;
        accessAcl = accessAcl || std::strcmp(name, kAccessAcl) == 0;
        defaultAcl = defaultAcl || std::strcmp(name, kDefaultAcl) == 0;
        const ssize_t size = ReadSized(value, [from, name](char* data, std::size_t capacity) {
            return ::fgetxattr(from, name, data, capacity);
        });
        if (size < 0) {
            if (errno == ENODATA) {
                continue; // removed since the list was read
            }
            t_sourceReadFailed = true;
            return errno;
        }
        if (::fsetxattr(to, name, value.data(), static_cast<std::size_t>(size), 0) != 0) {
            if (!AttributeNotHeld(errno)) {
                return errno;
            }
            refused = true;
        }
    }
    // Whatever is made in a folder with a default access control list takes one from
    // it; the copy has the source's own, or none.
    if (inherited && !accessAcl) {
        ::fremovexattr(to, kAccessAcl);
    }
    if (inherited && folder && !defaultAcl) {
        ::fremovexattr(to, kDefaultAcl);
    }
    return refused ? EOPNOTSUPP : 0;
}

// Gives the file `name` in `folder` the time `times` again where renaming it changed
// its time: some drivers (FAT through FUSE) stamp a renamed file with the time of the
// rename. A time that did not land makes the next run copy the file again.
void KeepTimeAfterRename(int folder, const char* name, const struct timespec (&times)[2]) {
    struct stat st;
    if (::fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
        (st.st_mtim.tv_sec != times[1].tv_sec || st.st_mtim.tv_nsec != times[1].tv_nsec)) {
        ::utimensat(folder, name, times, AT_SYMLINK_NOFOLLOW);
    }
}

// Gives a finished temporary (`ready`) its name; otherwise, or when that fails,
// removes it, keeping the reason in errno.
CopyOutcome RenameIntoPlace(int to, const char* temporary, const char* name, bool ready) {
    if (ready && ::renameat(to, temporary, to, name) == 0) {
        return CopyOutcome::Copied;
    }
    const int error = errno;
    ::unlinkat(to, temporary, 0);
    errno = error;
    return CopyOutcome::Failed;
}

// Marks an unnamed file that cannot be given a name at all (no /proc and no privilege).
constexpr int kCannotLink = -1;

// Gives the open unnamed file `file` the name `name` in `folder`: 0 or an errno.
int LinkUnnamed(int file, int folder, const char* name) {
    if (::linkat(file, "", folder, name, AT_EMPTY_PATH) == 0) {
        return 0;
    }
    if (errno != ENOENT) {
        return errno;
    }
    // Without the privilege to link by handle the kernel answers ENOENT; the file's
    // entry in /proc links it all the same.
    char path[48];
    std::snprintf(path, sizeof path, "/proc/self/fd/%d", file);
    if (::linkat(AT_FDCWD, path, folder, name, AT_SYMLINK_FOLLOW) == 0) {
        return 0;
    }
    const int error = errno;
    return error == ENOENT && ::access("/proc/self/fd", F_OK) != 0 ? kCannotLink : error;
}

// The process id in the name of a temporary ".kestrova-PID-N.part", or 0 when `name`
// is not one.
long TemporaryOwner(const char* name) {
    constexpr std::size_t kPrefix = sizeof ".kestrova-" - 1;
    if (std::strncmp(name, ".kestrova-", kPrefix) != 0) {
        return 0;
    }
    const auto number = [](const char*& text) {
        long value = 0;
        const char* start = text;
        while (*text >= '0' && *text <= '9' && text - start < 18) {
            value = value * 10 + (*text++ - '0');
        }
        return text == start ? -1 : value;
    };
    const char* at = name + kPrefix;
    const long owner = number(at);
    if (owner <= 0 || owner > std::numeric_limits<pid_t>::max() || *at++ != '-' || number(at) < 0 ||
        std::strcmp(at, ".part") != 0) {
        return 0;
    }
    return owner;
}

bool ProcessAlive(long id) {
    return ::kill(static_cast<pid_t>(id), 0) == 0 || errno == EPERM;
}

// `time` cut down to a step of `step` nanoseconds.
FileTime CutToStep(const FileTime& time, std::int64_t step) {
    if (step < kNanosecondsPerSecond) {
        return {time.seconds, time.nanoseconds - time.nanoseconds % step};
    }
    const std::int64_t seconds = step / kNanosecondsPerSecond;
    return {time.seconds - time.seconds % seconds, 0};
}

// Whether this process may give files other owners: the capability to change owners,
// which root has unless it was taken away.
bool MayChangeOwners() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (::syscall(SYS_capget, &header, data) != 0) {
        return ::geteuid() == 0;
    }
    return (data[CAP_TO_INDEX(CAP_CHOWN)].effective & CAP_TO_MASK(CAP_CHOWN)) != 0;
}

// Errors by which a target refuses to make a special file: a device node without the
// privilege, or a file system that holds no such files.
bool SpecialNotHeld(int error) {
    return error == EPERM || error == EOPNOTSUPP || error == ENOSYS;
}

} // namespace

PosixFileSystem::PosixFileSystem()
    : mayChangeOwners_(MayChangeOwners()), processUser_(::geteuid()), processGroup_(::getegid()),
      processId_(static_cast<long>(::getpid())) {}

PosixFileSystem::~PosixFileSystem() {
    for (const auto& [device, fd] : written_) {
        ::close(fd);
    }
}

int PosixFileSystem::openRoot(const std::string& path, FolderHandle& folder) {
    folder = ::open(path.c_str(), kFolderFlags);
    return folder < 0 ? errno : 0;
}

int PosixFileSystem::openFolder(FolderHandle parent, const char* name, FolderHandle& folder) {
    folder = ::openat(parent, name, kFolderFlags | O_NOFOLLOW);
    if (folder >= 0) {
        return 0;
    }
    // A link where a folder was expected is not a folder to walk.
    return errno == ELOOP ? ENOTDIR : errno;
}

void PosixFileSystem::closeFolder(FolderHandle folder) {
    if (folder >= 0) {
        {
            std::lock_guard lock(foldersMutex_);
            copiedInto_.erase(folder); // the number may come back for another folder
        }
        ::close(folder);
    }
}

int PosixFileSystem::identify(FolderHandle folder, FolderIdentity& identity) {
    struct statx st;
    constexpr unsigned kWanted =
        STATX_INO | STATX_MODE | STATX_MNT_ID | STATX_UID | STATX_GID | STATX_MTIME;
    if (::statx(folder, "", AT_EMPTY_PATH, kWanted, &st) != 0) {
        return errno;
    }
    identity.device = ::makedev(st.stx_dev_major, st.stx_dev_minor);
    identity.inode = st.stx_ino;
    // Without mount ids (kernels before 5.8) only mounts of other file systems show.
    identity.mount = (st.stx_mask & STATX_MNT_ID) != 0 ? st.stx_mnt_id : identity.device;
    identity.permissions = st.stx_mode & 07777u;
    identity.owner = st.stx_uid;
    identity.group = st.stx_gid;
    identity.modified = {st.stx_mtime.tv_sec, st.stx_mtime.tv_nsec};
    return 0;
}

int PosixFileSystem::enumerate(FolderHandle folder, FolderListing& listing) {
    listing.clear();
    if (::lseek(folder, 0, SEEK_SET) < 0) {
        return errno;
    }
    // One buffer per thread: helper threads may list folders alongside the walk.
    thread_local std::unique_ptr<char[]> buffer(new char[kBufferSize]);
    for (;;) {
        const ssize_t size = ::getdents64(folder, buffer.get(), kBufferSize);
        if (size < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (size == 0) {
            break;
        }
        for (ssize_t at = 0; at < size;) {
            const auto* record = reinterpret_cast<const struct dirent64*>(buffer.get() + at);
            at += record->d_reclen;
            const char* name = record->d_name;
            if (IsDotOrDotDot(name)) {
                continue;
            }
            EntryKind kind = EntryKind::Special;
            switch (record->d_type) {
            case DT_REG:
                kind = EntryKind::File;
                break;
            case DT_DIR:
                kind = EntryKind::Folder;
                break;
            case DT_LNK:
                kind = EntryKind::Link;
                break;
            case DT_UNKNOWN:
                break;
            default:
                listing.add(name, EntryKind::Special);
                continue;
            }
            if (record->d_type != DT_UNKNOWN) {
                listing.add(name, kind);
                continue;
            }
            // Only file systems that do not report kinds in the records cost a look-up.
            // An entry whose kind cannot be read is never taken for gone: as a special
            // file it is listed as failed and nothing is deleted for it.
            struct stat st;
            if (::fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
                if (errno != ENOENT) {
                    listing.add(name, EntryKind::Special);
                }
                continue;
            }
            listing.add(name, KindOf(st.st_mode));
        }
    }
    listing.sortByName();
    return 0;
}

LookUpResult PosixFileSystem::lookUp(FolderHandle folder, const char* name) {
    LookUpResult result;
    struct stat st;
    if (::fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
        result.error = errno;
        return result;
    }
    result.kind = KindOf(st.st_mode);
    result.modified = TimeOf(st);
    result.ownerWritable = (st.st_mode & S_IWUSR) != 0;
    result.size = static_cast<std::uint64_t>(st.st_size);
    result.links = static_cast<std::uint32_t>(st.st_nlink);
    result.device = st.st_dev;
    result.inode = st.st_ino;
    return result;
}

void PosixFileSystem::makeTemporaryName(TemporaryName& name) {
    std::snprintf(name.text, sizeof name.text, ".kestrova-%ld-%lu.part", processId_,
                  temporaryCounter_.fetch_add(1, std::memory_order_relaxed) + 1);
}

PosixFileSystem::FolderTraits PosixFileSystem::prepareFolder(FolderHandle folder) {
    {
        std::lock_guard lock(foldersMutex_);
        const auto found = copiedInto_.find(folder);
        if (found != copiedInto_.end()) {
            return found->second;
        }
    }
    FolderTraits traits;
    traits.inherits = ::fgetxattr(folder, kDefaultAcl, nullptr, 0) > 0;
    // A set-group-ID folder gives new files its group; any other the run's, unless the
    // file system is mounted to give the folder's (then told only where they agree).
    struct stat st;
    if (::fstat(folder, &st) == 0 && ((st.st_mode & S_ISGID) != 0 || st.st_gid == processGroup_)) {
        traits.newGroup = st.st_gid;
    }
    removeStaleTemporaries(folder);
    noteWritten(folder);
    std::lock_guard lock(foldersMutex_);
    copiedInto_.emplace(folder, traits);
    return traits;
}

void PosixFileSystem::noteWritten(FolderHandle folder) {
    struct stat st;
    if (::fstat(folder, &st) != 0) {
        return;
    }
    std::lock_guard lock(foldersMutex_);
    if (written_.count(st.st_dev) != 0) {
        return;
    }
    // Opened before anything is written there, so that syncfs on it reports every
    // write error that comes later.
    const int fd = ::openat(folder, ".", kFolderFlags);
    if (fd >= 0) {
        written_.emplace(st.st_dev, fd);
    }
}

void PosixFileSystem::removeStaleTemporaries(FolderHandle folder) {
    const int copy = ::openat(folder, ".", kFolderFlags);
    DIR* dir = copy >= 0 ? ::fdopendir(copy) : nullptr;
    if (dir == nullptr) {
        if (copy >= 0) {
            ::close(copy);
        }
        return;
    }
    while (const struct dirent* entry = ::readdir(dir)) {
        const long owner = TemporaryOwner(entry->d_name);
        if (owner == 0 || owner == processId_ || ProcessAlive(owner)) {
            continue;
        }
        // A run writing a temporary holds a lock on it, which also tells a run on
        // another machine sharing the folder; a link's temporary cannot be locked.
        const int file =
            ::openat(folder, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (file >= 0) {
            if (::flock(file, LOCK_EX | LOCK_NB) == 0) {
                ::unlinkat(folder, entry->d_name, 0);
            }
            ::close(file);
        } else if (errno == ELOOP) {
            ::unlinkat(folder, entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

CopyOutcome PosixFileSystem::copy(FolderHandle from, FolderHandle to, const char* name,
                                  EntryKind kind, const std::atomic<bool>& stop) {
    if (from < 0 || to < 0) {
        return CopyOutcome::Failed;
    }
    CopyOutcome outcome = CopyOutcome::Failed;
    t_sourceReadFailed = false;
    errno = 0;
    switch (kind) {
    case EntryKind::File:
        outcome = copyFile(from, to, name, stop);
        break;
    case EntryKind::Link:
        prepareFolder(to);
        outcome = copyLink(from, to, name);
        break;
    case EntryKind::Special:
        prepareFolder(to);
        outcome = copySpecial(from, to, name);
        break;
    case EntryKind::Folder:
        break;
    }
    if (outcome != CopyOutcome::Failed) {
        return outcome;
    }
    if (t_sourceReadFailed) {
        return CopyOutcome::ReadFailed;
    }
    return TargetWriteError(errno) ? CopyOutcome::WriteFailed : outcome;
}

bool PosixFileSystem::fillCopy(int from, const struct stat& source, int to,
                               const FolderTraits& traits, const std::atomic<bool>& stop) {
    if (!CopyContents(from, source, to, stop)) {
        return false;
    }
    // The owner goes first: changing it removes a file's capabilities, which come
    // with the extended attributes.
    const bool ownersKept = giveOwner(to, source, traits.newGroup);
    const int attributes = CopyExtendedAttributes(from, to, traits.inherits, false);
    if (attributes == EOPNOTSUPP) {
        g_syncStats.attributesNotKept.fetch_add(1, std::memory_order_relaxed);
    } else if (attributes != 0) {
        return false;
    }
    // Permission bits, set after the access control list, which they must match:
    // set-user-ID and set-group-ID only where the copy has the source's owner and
    // group, lest they hand another user's rights on. A file system without permission
    // bits (FAT) keeps the copy without them: its contents and time are what must land.
    const mode_t kept = ownersKept ? 07777 : 01777;
    if (::fchmod(to, source.st_mode & kept) != 0 && !PermissionsNotHeld(errno)) {
        return false;
    }
    const struct timespec times[2] = {source.st_atim, source.st_mtim};
    return ::futimens(to, times) == 0;
}

bool PosixFileSystem::giveOwner(int to, const struct stat& source, std::int64_t newGroup) {
    if (mayChangeOwners_) {
        // Most copies a run makes of its own files have their owners already. A file
        // system without owners refuses; the copy keeps the run's.
        return (source.st_uid == processUser_ && source.st_gid == newGroup) ||
               ::fchown(to, source.st_uid, source.st_gid) == 0;
    }
    // A user's own files are the user's anyway; set-id bits are rare enough to look.
    struct stat copy;
    return (source.st_mode & (S_ISUID | S_ISGID)) != 0 && ::fstat(to, &copy) == 0 &&
           copy.st_uid == source.st_uid && copy.st_gid == source.st_gid;
}

int PosixFileSystem::linkIntoPlace(int file, FolderHandle to, const char* name) {
    int error = LinkUnnamed(file, to, name);
    if (error != EEXIST) {
        return error;
    }
    // An older copy is there: the new one takes its place only once it is on disk
    // (else a power cut could leave neither), under a temporary name renamed over it,
    // so that the name is never missing.
    if (::fdatasync(file) != 0) {
        return errno;
    }
    TemporaryName temporary;
    makeTemporaryName(temporary);
    ::flock(file, LOCK_EX | LOCK_NB); // shows other runs that a live run owns the name
    error = LinkUnnamed(file, to, temporary.text);
    if (error == 0 && ::renameat(to, temporary.text, to, name) != 0) {
        error = errno;
        ::unlinkat(to, temporary.text, 0);
    }
    return error;
}

CopyOutcome PosixFileSystem::copyFile(FolderHandle from, FolderHandle to, const char* name,
                                      const std::atomic<bool>& stop) {
    // O_NONBLOCK: should a pipe have taken the file's place, opening it must not hang.
    const int source = ::openat(from, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (source < 0) {
        return CopyOutcome::Failed;
    }
    struct stat st;
    if (::fstat(source, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(source);
        return CopyOutcome::Failed;
    }
    const FolderTraits traits = prepareFolder(to);
    // An unnamed file vanishes by itself when a copy fails, stops or is killed.
    const int unnamed = unnamedFiles_.load(std::memory_order_relaxed)
                            ? ::openat(to, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600)
                            : -1;
    if (unnamed >= 0) {
        const bool filled = fillCopy(source, st, unnamed, traits, stop);
        const int error = filled ? linkIntoPlace(unnamed, to, name) : 0;
        ::close(unnamed);
        if (error == kCannotLink) {
            unnamedFiles_.store(false, std::memory_order_relaxed); // a named temporary, then
        } else {
            ::close(source);
            if (filled && error == 0) {
                return CopyOutcome::Copied;
            }
            if (error != 0) {
                errno = error;
            }
            return !filled && stop.load(std::memory_order_relaxed) ? CopyOutcome::Stopped
                                                                   : CopyOutcome::Failed;
        }
    }
    TemporaryName temporary;
    makeTemporaryName(temporary);
    const int target = ::openat(to, temporary.text, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (target < 0) {
        ::close(source);
        return CopyOutcome::Failed;
    }
    ::flock(target, LOCK_EX | LOCK_NB); // shows other runs that a live run writes it
    bool done = fillCopy(source, st, target, traits, stop);
    const bool stopped = !done && stop.load(std::memory_order_relaxed);
    struct stat older;
    if (done && ::fstatat(to, name, &older, AT_SYMLINK_NOFOLLOW) == 0) {
        done = ::fdatasync(target) == 0; // an older copy is replaced only from disk
    }
    done = (::close(target) == 0) && done;
    ::close(source);
    if (done && ::renameat(to, temporary.text, to, name) == 0) {
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        KeepTimeAfterRename(to, name, times);
        return CopyOutcome::Copied;
    }
    const int error = errno;
    ::unlinkat(to, temporary.text, 0);
    errno = error;
    return stopped ? CopyOutcome::Stopped : CopyOutcome::Failed;
}

CopyOutcome PosixFileSystem::copyLink(FolderHandle from, FolderHandle to, const char* name) {
    struct stat st;
    if (::fstatat(from, name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISLNK(st.st_mode)) {
        return CopyOutcome::Failed;
    }
    std::string text(static_cast<std::size_t>(st.st_size) + 1, '\0');
    const ssize_t length = ::readlinkat(from, name, text.data(), text.size());
    if (length < 0 || static_cast<std::size_t>(length) >= text.size()) {
        return CopyOutcome::Failed; // unreadable, or changed while being read
    }
    text.resize(static_cast<std::size_t>(length));
    TemporaryName temporary;
    makeTemporaryName(temporary);
    if (::symlinkat(text.c_str(), to, temporary.text) != 0) {
        return CopyOutcome::Failed;
    }
    if (mayChangeOwners_) {
        ::fchownat(to, temporary.text, st.st_uid, st.st_gid, AT_SYMLINK_NOFOLLOW);
    }
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    return RenameIntoPlace(to, temporary.text, name,
                           ::utimensat(to, temporary.text, times, AT_SYMLINK_NOFOLLOW) == 0);
}

CopyOutcome PosixFileSystem::copySpecial(FolderHandle from, FolderHandle to, const char* name) {
    struct stat st;
    if (::fstatat(from, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return CopyOutcome::Failed;
    }
    if (!S_ISFIFO(st.st_mode) && !S_ISSOCK(st.st_mode) && !S_ISCHR(st.st_mode) &&
        !S_ISBLK(st.st_mode)) {
        return CopyOutcome::Failed; // replaced since the folder was read
    }
    TemporaryName temporary;
    makeTemporaryName(temporary);
    const bool device = S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode);
    if (::mknodat(to, temporary.text, (st.st_mode & S_IFMT) | 0600, device ? st.st_rdev : 0) != 0) {
        // Drivers of file systems without special files (FAT through FUSE) answer EIO
        // and leave a plain file under the name instead.
        const int error = errno;
        struct stat made;
        const bool plainInstead =
            ::fstatat(to, temporary.text, &made, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(made.st_mode);
        if (plainInstead) {
            ::unlinkat(to, temporary.text, 0);
        }
        errno = error;
        return SpecialNotHeld(error) || plainInstead ? CopyOutcome::NotCreated
                                                     : CopyOutcome::Failed;
    }
    const bool ownersKept = mayChangeOwners_ && ::fchownat(to, temporary.text, st.st_uid, st.st_gid,
                                                           AT_SYMLINK_NOFOLLOW) == 0;
    const mode_t kept = ownersKept ? 07777 : 01777;
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    return RenameIntoPlace(
        to, temporary.text, name,
        (::fchmodat(to, temporary.text, st.st_mode & kept, 0) == 0 || PermissionsNotHeld(errno)) &&
            ::utimensat(to, temporary.text, times, AT_SYMLINK_NOFOLLOW) == 0);
}

int PosixFileSystem::createFolder(FolderHandle parent, const char* name) {
    if (::mkdirat(parent, name, 0777) != 0) {
        return errno;
    }
    noteWritten(parent);
    return 0;
}

int PosixFileSystem::copyAttributes(FolderHandle from, FolderHandle to) {
    if (from < 0 || to < 0) {
        return EBADF;
    }
    const int error = CopyExtendedAttributes(from, to, true, true);
    if (error == EOPNOTSUPP) {
        g_syncStats.attributesNotKept.fetch_add(1, std::memory_order_relaxed);
        return 0;
    }
    return error;
}

std::int64_t PosixFileSystem::timeStep(FolderHandle folder) {
    // A file made for the purpose is given a time with every digit set and read back:
    // what the file system cut off tells its step. The second is odd, so that a
    // 2-second step shows.
    int probe = ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    TemporaryName temporary{};
    if (probe < 0) {
        makeTemporaryName(temporary);
        probe = ::openat(folder, temporary.text, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (probe < 0) {
            return 1; // nothing can be written there; times are compared exactly
        }
    }
    const FileTime set{1'000'000'001, kNanosecondsPerSecond - 1};
    const struct timespec times[2] = {{set.seconds, set.nanoseconds},
                                      {set.seconds, set.nanoseconds}};
    struct stat st;
    std::int64_t step = 1;
    if (::futimens(probe, times) == 0 && ::fstat(probe, &st) == 0) {
        const FileTime kept = TimeOf(st);
        for (const std::int64_t candidate :
             {std::int64_t{1}, std::int64_t{100}, std::int64_t{1'000}, std::int64_t{1'000'000},
              std::int64_t{10'000'000}, kNanosecondsPerSecond, 2 * kNanosecondsPerSecond}) {
            if (kept == CutToStep(set, candidate)) {
                step = candidate;
                break;
            }
        }
    }
    ::close(probe);
    if (temporary.text[0] != '\0') {
        ::unlinkat(folder, temporary.text, 0);
    }
    return step;
}

int PosixFileSystem::deleteFile(FolderHandle parent, const char* name) {
    return ::unlinkat(parent, name, 0) == 0 ? 0 : errno;
}

int PosixFileSystem::removeFolder(FolderHandle parent, const char* name) {
    return ::unlinkat(parent, name, AT_REMOVEDIR) == 0 ? 0 : errno;
}

int PosixFileSystem::renameEntry(FolderHandle folder, const char* from, const char* to) {
    return ::renameat(folder, from, folder, to) == 0 ? 0 : errno;
}

int PosixFileSystem::moveEntry(FolderHandle fromFolder, const char* from, FolderHandle toFolder,
                               const char* to) {
    if (::renameat2(fromFolder, from, toFolder, to, RENAME_NOREPLACE) != 0) {
        return errno == EINVAL || errno == ENOSYS ? ENOTSUP : errno;
    }
    noteWritten(toFolder);
    return 0;
}

int PosixFileSystem::setPermissions(FolderHandle folder, unsigned permissions) {
    return ::fchmod(folder, permissions) == 0 ? 0 : errno;
}

int PosixFileSystem::setOwner(FolderHandle folder, std::uint32_t owner, std::uint32_t group) {
    if (!mayChangeOwners_) {
        return EPERM;
    }
    return ::fchown(folder, owner, group) == 0 ? 0 : errno;
}

int PosixFileSystem::setFolderTime(FolderHandle folder, const FileTime& modified) {
    const struct timespec times[2] = {
        {0, UTIME_OMIT},
        {static_cast<time_t>(modified.seconds), static_cast<long>(modified.nanoseconds)}};
    return ::futimens(folder, times) == 0 ? 0 : errno;
}

int PosixFileSystem::linkFile(FolderHandle root, std::string_view path, FolderHandle to,
                              const char* name) {
    // Each folder on the way is opened on its own, so that none can be a link.
    int folder = root;
    std::string part;
    std::size_t at = 0;
    for (std::size_t slash; (slash = path.find('/', at)) != std::string_view::npos;
         at = slash + 1) {
        part.assign(path.substr(at, slash - at));
        const int next =
            ::openat(folder, part.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        const int error = errno;
        if (folder != root) {
            ::close(folder);
        }
        if (next < 0) {
            return error;
        }
        folder = next;
    }
    part.assign(path.substr(at));
    noteWritten(to);
    int error = ::linkat(folder, part.c_str(), to, name, 0) == 0 ? 0 : errno;
    if (error == EEXIST) {
        // A copy of its own holds the name: the link replaces it in one step, once the
        // shared file is on disk (else a power cut could leave neither).
        const int file = ::openat(folder, part.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        error = file < 0 ? errno : (::fdatasync(file) == 0 ? 0 : errno);
        if (file >= 0) {
            ::close(file);
        }
        TemporaryName temporary;
        makeTemporaryName(temporary);
        if (error == 0) {
            error = ::linkat(folder, part.c_str(), to, temporary.text, 0) == 0 ? 0 : errno;
        }
        if (error == 0 && ::renameat(to, temporary.text, to, name) != 0) {
            error = errno;
        }
        // Still there only where `name` was this very file already: a rename between
        // two names of one file does nothing.
        ::unlinkat(to, temporary.text, 0);
    }
    if (folder != root) {
        ::close(folder);
    }
    return error;
}

int PosixFileSystem::lockFolder(FolderHandle folder) {
    return ::flock(folder, LOCK_EX | LOCK_NB) == 0 ? 0 : errno;
}

// syncfs writes out everything the file system holds for any process, and reports the
// write errors it met since the descriptor was opened, whoever's data they hit: the
// run cannot tell them apart, so it takes them for its own.
int PosixFileSystem::makeDurable(FolderHandle root) {
    std::unordered_map<std::uint64_t, int> written;
    {
        std::lock_guard lock(foldersMutex_);
        written.swap(written_);
    }
    int error = 0;
    struct stat st;
    const bool haveRoot = root >= 0 && ::fstat(root, &st) == 0;
    if (haveRoot && ::syncfs(root) != 0) {
        error = errno;
    }
    for (const auto& [device, fd] : written) {
        if ((!haveRoot || device != st.st_dev) && ::syncfs(fd) != 0 && error == 0) {
            error = errno;
        }
        ::close(fd);
    }
    if (error == 0 && haveRoot) {
        ::fremovexattr(root, kUnsettledMark);
    }
    return error;
}

// A file system without user attributes keeps no mark; its runs cannot tell.
void PosixFileSystem::markUnsettled(FolderHandle root) {
    ::fsetxattr(root, kUnsettledMark, "1", 1, 0);
}

bool PosixFileSystem::unsettled(FolderHandle root) {
    return root >= 0 && ::fgetxattr(root, kUnsettledMark, nullptr, 0) >= 0;
}

} // namespace kestrova
