// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// The tree fixture on Linux. Every walk is relative to open folder handles, so trees
// may be deeper than the longest path the system accepts.

#include "support/TreeFixture.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrova::test {

inline void Check(bool ok, const std::string& what) {
    if (!ok) {
        throw std::runtime_error(what + ": errno " + std::to_string(errno));
    }
}

inline int OpenFolder(int parent, const std::string& name) {
    return ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// Opens the folder at relative path `path` below `root`, creating missing folders.
inline int OpenPath(int root, const std::string& path, bool create) {
    int folder = ::dup(root);
    std::size_t at = 0;
    while (at < path.size()) {
        const std::size_t end = std::min(path.find('/', at), path.size());
        const std::string name = path.substr(at, end - at);
        if (create) {
            ::mkdirat(folder, name.c_str(), 0755);
        }
        const int next = OpenFolder(folder, name);
        ::close(folder);
        Check(next >= 0, "open " + path);
        folder = next;
        at = end + 1;
    }
    return folder;
}

inline void SetTimes(int folder, const std::string& name, const Item& item) {
    const struct timespec times[2] = {{item.seconds, item.nanoseconds},
                                      {item.seconds, item.nanoseconds}};
    Check(::utimensat(folder, name.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0, "times " + name);
}

inline void WriteItem(int folder, const std::string& name, const Item& item) {
    switch (item.kind) {
    case 'd':
        ::mkdirat(folder, name.c_str(), 0755);
        return;
    case 'l':
        ::unlinkat(folder, name.c_str(), 0);
        Check(::symlinkat(item.data.c_str(), folder, name.c_str()) == 0, "link " + name);
        SetTimes(folder, name, item);
        return;
    case 'p':
        Check(::mkfifoat(folder, name.c_str(), 0644) == 0, "pipe " + name);
        return;
    default: {
        ::fchmodat(folder, name.c_str(), 0644, 0);
        const int fd =
            ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        Check(fd >= 0, "create " + name);
        Check(::write(fd, item.data.data(), item.data.size()) ==
                  static_cast<ssize_t>(item.data.size()),
              "write " + name);
        ::fchmod(fd, item.mode);
        ::close(fd);
        SetTimes(folder, name, item);
    }
    }
}

// Writes every item of `tree` below the folder `root` (which must exist), adding
// to and overwriting what is there.
inline void WriteTree(const std::string& root, const Tree& tree) {
    const int top = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    Check(top >= 0, "open " + root);
    for (const auto& [path, item] : tree) {
        const std::size_t slash = path.rfind('/');
        const std::string parent = slash == std::string::npos ? "" : path.substr(0, slash);
        const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        const int folder = OpenPath(top, parent, true);
        WriteItem(folder, name, item);
        ::close(folder);
    }
    ::close(top);
}

inline void ReadFolder(int folder, const std::string& prefix, Tree& tree) {
    const int listing = ::dup(folder);
    DIR* dir = ::fdopendir(listing);
    Check(dir != nullptr, "list " + prefix);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        const std::string path = prefix.empty() ? name : prefix + "/" + name;
        struct stat st;
        Check(::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0, "stat " + path);
        Item item{'p', {}, st.st_mtim.tv_sec, st.st_mtim.tv_nsec, st.st_mode & 07777u};
        if (S_ISDIR(st.st_mode)) {
            tree[path] = Folder();
            const int sub = OpenFolder(folder, name);
            Check(sub >= 0, "open " + path);
            ReadFolder(sub, path, tree);
            ::close(sub);
            continue;
        }
        if (S_ISLNK(st.st_mode)) {
            item.kind = 'l';
            item.data.resize(static_cast<std::size_t>(st.st_size));
            Check(::readlinkat(folder, name.c_str(), item.data.data(), item.data.size()) ==
                      st.st_size,
                  "readlink " + path);
        } else if (S_ISREG(st.st_mode)) {
            item.kind = 'f';
            const int fd = ::openat(folder, name.c_str(), O_RDONLY | O_CLOEXEC);
            Check(fd >= 0, "read " + path);
            char buffer[4096];
            ssize_t got;
            while ((got = ::read(fd, buffer, sizeof buffer)) > 0) {
                item.data.append(buffer, static_cast<std::size_t>(got));
            }
            ::close(fd);
        }
        tree[path] = item;
    }
    ::closedir(dir);
}

// Everything below `root`, read back.
inline Tree ReadTree(const std::string& root) {
    Tree tree;
    const int top = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    Check(top >= 0, "open " + root);
    ReadFolder(top, "", tree);
    ::close(top);
    return tree;
}

inline void RemoveBelow(int folder) {
    const int listing = ::dup(folder);
    DIR* dir = ::fdopendir(listing);
    if (dir == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        const int sub = OpenFolder(folder, name);
        if (sub >= 0) {
            ::fchmod(sub, 0755);
            RemoveBelow(sub);
            ::close(sub);
            ::unlinkat(folder, name.c_str(), AT_REMOVEDIR);
        } else {
            ::unlinkat(folder, name.c_str(), 0);
        }
    }
    ::closedir(dir);
}

inline void RemoveBelow(const std::string& folder) {
    const int top = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (top >= 0) {
        RemoveBelow(top);
        ::close(top);
    }
}

// A fresh folder below the system's temporary folder, removed with its contents.
class TempFolder {
public:
    TempFolder() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern =
            std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/kestrova-test-XXXXXX";
        Check(::mkdtemp(pattern.data()) != nullptr, "mkdtemp");
        path_ = pattern;
    }
    ~TempFolder() {
        RemoveBelow(path_);
        ::rmdir(path_.c_str());
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    // A sub-folder path, created when `create` is set.
    std::string sub(const std::string& name, bool create = true) const {
        const std::string full = path_ + "/" + name;
        if (create) {
            ::mkdir(full.c_str(), 0755);
        }
        return full;
    }

private:
    std::string path_;
};

} // namespace kestrova::test
