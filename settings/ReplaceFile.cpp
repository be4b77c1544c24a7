// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "settings/ReplaceFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace kestrova {

namespace {

constexpr int kNameAttempts = 100;

#ifdef _WIN32
constexpr const char* kSeparators = "\\/";
#else
constexpr const char* kSeparators = "/";
#endif

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of(kSeparators);
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A hidden name beside the file, unique to this process and attempt.
std::string TempNameFor(const std::string& path, int attempt) {
    const std::size_t slash = path.find_last_of(kSeparators);
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(0, nameStart) + "." + path.substr(nameStart) + ".tmp-" +
           std::to_string(::getpid()) + "-" + std::to_string(attempt);
}

bool WriteAll(SaveFileSystem& fs, int fd, std::string_view contents) {
    while (!contents.empty()) {
        const long written = fs.write(fd, contents.data(), contents.size());
        if (written == -EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        contents.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

SaveResult ReplaceFile(const std::string& path, std::string_view contents, SaveFileSystem& fs) {
    SaveResult result{SaveStatus::CannotWrite, path};
    const std::string target = fs.resolve(path);
    const std::string folder = FolderOf(target);
    if (fs.makeFolders(folder) != 0) {
        return result;
    }

    // A file the user made read-only (owner-write bit clear) is not replaced,
    // even by root, and a file that cannot be read back is protected the same
    // way: replacing it would throw away pairs the program never showed.
    const std::optional<mode_t> existing = fs.existingMode(target);
    if (existing && ((*existing & S_IWUSR) == 0 || (*existing & S_IRUSR) == 0)) {
        return result;
    }
    const mode_t mode = existing.value_or(0666);
    std::string temp;
    int fd = -EEXIST;
    for (int attempt = 0; attempt < kNameAttempts && fd == -EEXIST; ++attempt) {
        temp = TempNameFor(target, attempt);
        fd = fs.createNew(temp, mode);
    }
    if (fd < 0) {
        return result;
    }

    bool written = WriteAll(fs, fd, contents) && fs.sync(fd) == 0;
    written = fs.close(fd) == 0 && written;
    if (!written) {
        fs.remove(temp);
        result.status = SaveStatus::DiskFull;
        return result;
    }
    if (fs.rename(temp, target) != 0) {
        fs.remove(temp);
        return result;
    }
    // The new contents are already in place; making the rename itself durable
    // is best effort, as some file systems cannot sync a folder.
    fs.syncFolder(folder);
    result.status = SaveStatus::Saved;
    return result;
}

} // namespace kestrova
