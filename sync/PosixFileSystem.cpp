#include "sync/PosixFileSystem.h"

#include "sync/FolderListing.h"
#include "sync/SyncStats.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
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

// Errors after which the read/write fall-back can still do the copy.
bool CopyRangeUnsupported(int error) {
    return error == EXDEV || error == ENOSYS || error == EINVAL || error == EOPNOTSUPP ||
           error == EBADF || error == EPERM || error == ETXTBSY;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

} // namespace

PosixFileSystem::PosixFileSystem()
    : buffer_(new char[kBufferSize]), processId_(static_cast<long>(::getpid())) {}

PosixFileSystem::~PosixFileSystem() = default;

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
        ::close(folder);
    }
}

int PosixFileSystem::identify(FolderHandle folder, FolderIdentity& identity) {
    struct stat st;
    if (::fstat(folder, &st) != 0) {
        return errno;
    }
    identity = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    return 0;
}

int PosixFileSystem::enumerate(FolderHandle folder, FolderListing& listing) {
    listing.clear();
    if (::lseek(folder, 0, SEEK_SET) < 0) {
        return errno;
    }
    for (;;) {
        const ssize_t size = ::getdents64(folder, buffer_.get(), kBufferSize);
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
            const auto* record = reinterpret_cast<const struct dirent64*>(buffer_.get() + at);
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
            struct stat st;
            if (::fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
                continue; // gone since the folder was read
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
    return result;
}

void PosixFileSystem::makeTemporaryName(TemporaryName& name) {
    std::snprintf(name.text, sizeof name.text, ".kestrova-%ld-%lu.part", processId_,
                  temporaryCounter_.fetch_add(1, std::memory_order_relaxed) + 1);
}

CopyOutcome PosixFileSystem::copy(FolderHandle from, FolderHandle to, const char* name,
                                  EntryKind kind, const std::atomic<bool>& stop) {
    if (from < 0 || to < 0) {
        return CopyOutcome::Failed;
    }
    switch (kind) {
    case EntryKind::File:
        return copyFile(from, to, name, stop);
    case EntryKind::Link:
        return copyLink(from, to, name);
    case EntryKind::Folder:
    case EntryKind::Special:
        break;
    }
    return CopyOutcome::Failed;
}

bool PosixFileSystem::copyContents(int from, int to, std::uint64_t size,
                                   const std::atomic<bool>& stop) {
    bool useCopyRange = true;
    std::uint64_t total = 0;
    for (;;) {
        if (stop.load(std::memory_order_relaxed)) {
            return false;
        }
        ssize_t moved;
        if (useCopyRange) {
            moved = ::copy_file_range(from, nullptr, to, nullptr, kCopyChunk, 0);
            // Some file systems refuse the call or report an early end; the plain
            // read/write loop then carries on from where it stopped.
            if ((moved < 0 && CopyRangeUnsupported(errno)) || (moved == 0 && total < size)) {
                useCopyRange = false;
                continue;
            }
        } else {
            // Copies run on several threads at once; each has its own buffer.
            thread_local std::unique_ptr<char[]> copyBuffer(new char[kBufferSize]);
            std::size_t chunk = 0;
            moved = 0;
            while (chunk < kCopyChunk) {
                const ssize_t got = ::read(from, copyBuffer.get(), kBufferSize);
                if (got < 0 && errno == EINTR) {
                    continue;
                }
                if (got <= 0) {
                    moved = got;
                    break;
                }
                if (!WriteAll(to, copyBuffer.get(), static_cast<std::size_t>(got))) {
                    return false;
                }
                chunk += static_cast<std::size_t>(got);
                moved = static_cast<ssize_t>(chunk);
            }
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
        total += static_cast<std::uint64_t>(moved);
        ReportCopyProgress(total, size);
        // Saves the call that would only report the end. A file that grew since it was
        // opened keeps its older time in the copy, so the next run copies it again.
        if (size > 0 && total >= size) {
            return true;
        }
    }
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
    TemporaryName temporary;
    makeTemporaryName(temporary);
    const int target = ::openat(to, temporary.text, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (target < 0) {
        ::close(source);
        return CopyOutcome::Failed;
    }
    bool done = copyContents(source, target, static_cast<std::uint64_t>(st.st_size), stop);
    const bool stopped = !done && stop.load(std::memory_order_relaxed);
    if (done) {
        // Permission bits only: set-user-ID and set-group-ID are not handed on to a
        // copy that may belong to another user.
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        done = ::fchmod(target, st.st_mode & 0777) == 0 && ::futimens(target, times) == 0;
    }
    done = (::close(target) == 0) && done;
    ::close(source);
    if (done && ::renameat(to, temporary.text, to, name) == 0) {
        return CopyOutcome::Copied;
    }
    ::unlinkat(to, temporary.text, 0);
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
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (::utimensat(to, temporary.text, times, AT_SYMLINK_NOFOLLOW) == 0 &&
        ::renameat(to, temporary.text, to, name) == 0) {
        return CopyOutcome::Copied;
    }
    ::unlinkat(to, temporary.text, 0);
    return CopyOutcome::Failed;
}

int PosixFileSystem::createFolder(FolderHandle parent, const char* name) {
    return ::mkdirat(parent, name, 0777) == 0 ? 0 : errno;
}

int PosixFileSystem::deleteFile(FolderHandle parent, const char* name) {
    return ::unlinkat(parent, name, 0) == 0 ? 0 : errno;
}

int PosixFileSystem::removeFolder(FolderHandle parent, const char* name) {
    return ::unlinkat(parent, name, AT_REMOVEDIR) == 0 ? 0 : errno;
}

} // namespace kestrova
