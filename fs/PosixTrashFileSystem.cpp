// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "fs/TrashFileSystem.h"

#include "fs/FailureReasons.h"
#include "sync/PairCheck.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrova {

namespace {

// Names in the trash are kept short enough for ".trashinfo" and a number to follow.
constexpr std::size_t kMaxTrashName = 200;

std::string FolderPath(int folder) {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", folder);
    std::string path(PATH_MAX, '\0');
    const ssize_t length = ::readlink(link, path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) {
        return {};
    }
    path.resize(static_cast<std::size_t>(length));
    return path;
}

std::string Parent(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

// The folder on which the file system of `device` holding `path` is mounted.
std::string MountTop(std::string path, dev_t device) {
    struct stat up;
    while (path != "/" && ::stat(Parent(path).c_str(), &up) == 0 && up.st_dev == device) {
        path = Parent(path);
    }
    return path;
}

// Makes the folder `path` and any missing folder above it, for the owner alone.
bool MakeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            return true;
        }
    }
}

// A folder the user's own trash may live in: a real folder (no link) of theirs.
bool OwnFolder(const std::string& path) {
    struct stat self;
    return ::lstat(path.c_str(), &self) == 0 && S_ISDIR(self.st_mode) && self.st_uid == ::getuid();
}

// The path as a .trashinfo file holds it: bytes outside the unreserved URL characters
// (and "/") as %XX.
std::string Escaped(std::string_view path) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
            (byte >= '0' && byte <= '9') ||
            std::string_view("-_.!~*'()/").find(c) != std::string_view::npos) {
            out += c;
        } else {
            out += '%';
            out += hex[byte >> 4];
            out += hex[byte & 15];
        }
    }
    return out;
}

std::string Now() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[32];
    ::localtime_r(&now, &local);
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

// Moves `name` to `to`, failing with EEXIST where `to` exists already. File systems
// that cannot refuse to replace (some drivers) are asked first whether it exists;
// the caller holds the name in the trash by its .trashinfo file meanwhile.
bool MoveWithoutReplacing(int fromFolder, const char* name, int toFolder, const char* to) {
    if (::renameat2(fromFolder, name, toFolder, to, RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
        return false;
    }
    struct stat there;
    if (::fstatat(toFolder, to, &there, AT_SYMLINK_NOFOLLOW) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::renameat(fromFolder, name, toFolder, to) == 0;
}

// Gives the entry moved to `name` in `folder` the times it had before the move, which
// some drivers restamp on a rename.
void KeepTimes(const struct stat& before, int folder, const char* name) {
    struct stat after;
    if (before.st_mtim.tv_sec == 0 || ::fstatat(folder, name, &after, AT_SYMLINK_NOFOLLOW) != 0 ||
        (after.st_mtim.tv_sec == before.st_mtim.tv_sec &&
         after.st_mtim.tv_nsec == before.st_mtim.tv_nsec)) {
        return;
    }
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ::utimensat(folder, name, times, AT_SYMLINK_NOFOLLOW);
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno != EINTR) {
            return false;
        }
        done += written > 0 ? static_cast<std::size_t>(written) : 0;
    }
    return true;
}

} // namespace

TrashFileSystem::TrashFileSystem(FileSystem& base) : base_(base) {
    setReadHelpers(base.readHelpers());
}

TrashFileSystem::~TrashFileSystem() {
    for (const auto& [device, can] : cans_) {
        if (can.files >= 0) {
            ::close(can.files);
            ::close(can.info);
        }
    }
}

const TrashFileSystem::Can* TrashFileSystem::canFor(FolderHandle parent,
                                                    const std::string& folderPath) {
    struct stat folder;
    if (::fstat(parent, &folder) != 0) {
        return nullptr;
    }
    const auto known = cans_.find(folder.st_dev);
    if (known != cans_.end()) {
        return known->second.files >= 0 ? &known->second : nullptr;
    }
    Can& can = cans_[folder.st_dev];
    std::string dataHome;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/') {
        dataHome = xdg;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        dataHome = std::string(home) + "/.local/share";
    }
    // The home trash serves the file system its data folder (or, before that exists,
    // the home folder) lies on.
    struct stat homeFs;
    std::string root;
    const char* home = std::getenv("HOME");
    if (!dataHome.empty() &&
        (::stat(dataHome.c_str(), &homeFs) == 0 ||
         (home != nullptr && ::stat(home, &homeFs) == 0)) &&
        homeFs.st_dev == folder.st_dev) {
        root = dataHome + "/Trash";
        if (!MakeFolders(root) || !OwnFolder(root)) {
            return nullptr;
        }
    } else {
        can.top = MountTop(folderPath, folder.st_dev);
        const std::string top = can.top == "/" ? "" : can.top;
        const std::string uid = std::to_string(::getuid());
        // A .Trash made by the administrator must be a sticky folder, not a link.
        struct stat shared;
        const std::string sharedPath = top + "/.Trash";
        if (::lstat(sharedPath.c_str(), &shared) == 0 && S_ISDIR(shared.st_mode) &&
            (shared.st_mode & S_ISVTX) != 0) {
            root = sharedPath + "/" + uid;
            ::mkdir(root.c_str(), 0700);
        }
        if (root.empty() || !OwnFolder(root)) {
            root = top + "/.Trash-" + uid;
            ::mkdir(root.c_str(), 0700);
            if (!OwnFolder(root)) {
                return nullptr;
            }
        }
    }
    ::mkdir((root + "/files").c_str(), 0700);
    ::mkdir((root + "/info").c_str(), 0700);
    const int files =
        ::open((root + "/files").c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    const int info =
        ::open((root + "/info").c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat filesFs;
    if (files < 0 || info < 0 || ::fstat(files, &filesFs) != 0 || filesFs.st_dev != folder.st_dev) {
        if (files >= 0) {
            ::close(files);
        }
        if (info >= 0) {
            ::close(info);
        }
        return nullptr;
    }
    can.files = files;
    can.info = info;
    can.root = ResolvedLocation(root);
    return &can;
}

int TrashFileSystem::putInTrash(FolderHandle parent, const char* name, bool keep,
                                std::string& trashName, const Can*& can) {
    const std::string folderPath = FolderPath(parent);
    {
        std::lock_guard lock(mutex_);
        can = folderPath.empty() ? nullptr : canFor(parent, folderPath);
    }
    if (can == nullptr) {
        trashMissing_ = true;
        return kReasonNoTrash;
    }
    if (SameOrInside(folderPath, can->root)) {
        return EBUSY; // a trash inside a target stays whole
    }
    std::string path = folderPath == "/" ? "/" : folderPath + "/";
    path += name;
    std::string_view shown = path;
    if (!can->top.empty()) {
        shown.remove_prefix(can->top == "/" ? 1 : can->top.size() + 1);
    }
    const std::string info =
        "[Trash Info]\nPath=" + Escaped(shown) + "\nDeletionDate=" + Now() + "\n";
    const std::string stem = std::string(name).substr(0, kMaxTrashName);
    struct stat before {};
    ::fstatat(parent, name, &before, AT_SYMLINK_NOFOLLOW);
    for (unsigned n = 1;; ++n) {
        trashName = n == 1 ? stem : stem + "." + std::to_string(n);
        const std::string infoName = trashName + ".trashinfo";
        const int fd = ::openat(can->info, infoName.c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST) {
            continue;
        }
        if (fd < 0) {
            return errno;
        }
        const bool written = WriteAll(fd, info);
        ::close(fd);
        int error = 0;
        if (!written) {
            error = EIO;
        } else if (keep ? ::linkat(parent, name, can->files, trashName.c_str(), 0) != 0
                        : !MoveWithoutReplacing(parent, name, can->files, trashName.c_str())) {
            error = errno;
        }
        if (error == 0) {
            if (!keep) {
                KeepTimes(before, can->files, trashName.c_str());
            }
            return 0;
        }
        ::unlinkat(can->info, infoName.c_str(), 0);
        if (error != EEXIST) {
            return error;
        }
    }
}

void TrashFileSystem::release(const Can& can, const std::string& trashName) {
    ::unlinkat(can.files, trashName.c_str(), 0);
    ::unlinkat(can.info, (trashName + ".trashinfo").c_str(), 0);
}

int TrashFileSystem::deleteFile(FolderHandle parent, const char* name) {
    std::string trashName;
    const Can* can = nullptr;
    return putInTrash(parent, name, false, trashName, can);
}

// What a copy replaces is linked into the trash first and stays in place until the
// copy is complete; a copy that fails takes its trash entry back. Where the file
// system has no hard links it is moved there instead, and put back when the copy fails.
CopyOutcome TrashFileSystem::copy(FolderHandle from, FolderHandle to, const char* name,
                                  EntryKind kind, const std::atomic<bool>& stop) {
    const LookUpResult existing = base_.lookUp(to, name);
    if (existing.error != 0 || existing.kind == EntryKind::Folder) {
        return base_.copy(from, to, name, kind, stop);
    }
    std::string trashName;
    const Can* can = nullptr;
    int error = putInTrash(to, name, true, trashName, can);
    const bool moved = error == EPERM || error == ENOTSUP || error == EMLINK;
    if (moved) {
        error = putInTrash(to, name, false, trashName, can);
    }
    if (error != 0) {
        errno = error;
        return CopyOutcome::Failed;
    }
    const CopyOutcome outcome = base_.copy(from, to, name, kind, stop);
    if (outcome != CopyOutcome::Copied) {
        const int copyError = errno;
        if (!moved || MoveWithoutReplacing(can->files, trashName.c_str(), to, name)) {
            release(*can, trashName);
        }
        errno = copyError;
    }
    return outcome;
}

// Where the trash cannot take a hard link of the old file, the target cannot link the
// new name either: the error says so, and the caller copies instead.
int TrashFileSystem::linkFile(FolderHandle root, std::string_view path, FolderHandle to,
                              const char* name) {
    const LookUpResult existing = base_.lookUp(to, name);
    if (existing.error != 0 || existing.kind == EntryKind::Folder) {
        return base_.linkFile(root, path, to, name);
    }
    std::string trashName;
    const Can* can = nullptr;
    int error = putInTrash(to, name, true, trashName, can);
    if (error == 0) {
        error = base_.linkFile(root, path, to, name);
        if (error != 0) {
            release(*can, trashName);
        }
    }
    return error;
}

} // namespace kestrova
