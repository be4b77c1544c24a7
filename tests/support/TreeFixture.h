#pragma once

// Folder trees declared as data, written to and read back from real folders, so a
// test can state what a folder must hold and compare it whole: exactly equal, no
// extras. Every walk is relative to open folder handles, so trees may be deeper
// than the longest path the system accepts.

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <ostream>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrova::test {

struct Item {
    char kind = 'f';  // 'f' file, 'd' folder, 'l' link, 'p' pipe
    std::string data; // a file's contents or a link's text
    std::int64_t seconds = 0;
    std::int64_t nanoseconds = 0;
    unsigned mode = 0644; // permission bits of a file

    // Folders compare by kind only: the engine gives them neither times nor modes.
    friend bool operator==(const Item& a, const Item& b) {
        if (a.kind != b.kind) {
            return false;
        }
        if (a.kind == 'd' || a.kind == 'p') {
            return true;
        }
        return a.data == b.data && a.seconds == b.seconds && a.nanoseconds == b.nanoseconds &&
               (a.kind != 'f' || a.mode == b.mode);
    }
    friend std::ostream& operator<<(std::ostream& out, const Item& item) {
        out << item.kind;
        if (item.kind == 'f' || item.kind == 'l') {
            out << " \"" << item.data << "\" @" << item.seconds << "." << item.nanoseconds;
        }
        if (item.kind == 'f') {
            out << " mode " << std::oct << item.mode << std::dec;
        }
        return out;
    }
};

// Relative path (names joined by "/") to what is there.
using Tree = std::map<std::string, Item>;

inline constexpr std::int64_t kTime = 1'600'000'000;

inline Item File(std::string contents, std::int64_t seconds = kTime, std::int64_t nanoseconds = 0,
                 unsigned mode = 0644) {
    return {'f', std::move(contents), seconds, nanoseconds, mode};
}
inline Item Folder() {
    return {'d', {}, 0, 0, 0};
}
inline Item Link(std::string text, std::int64_t seconds = kTime, std::int64_t nanoseconds = 0) {
    return {'l', std::move(text), seconds, nanoseconds, 0};
}
inline Item Pipe() {
    return {'p', {}, 0, 0, 0};
}

// `tree` with the folders that its paths imply added, as ReadTree reports them.
inline Tree Full(Tree tree) {
    Tree folders;
    for (const auto& entry : tree) {
        for (std::size_t slash = entry.first.find('/'); slash != std::string::npos;
             slash = entry.first.find('/', slash + 1)) {
            folders[entry.first.substr(0, slash)] = Folder();
        }
    }
    tree.insert(folders.begin(), folders.end());
    return tree;
}

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
        const int top = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (top >= 0) {
            RemoveBelow(top);
            ::close(top);
        }
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
