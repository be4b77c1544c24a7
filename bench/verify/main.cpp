// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

// bench-verify: checks that a target tree equals its source tree after a run: the
// same names, the same kinds, the same sizes and the same modification times to the
// nanosecond (files and links; folder times are not part of a mirror), the same link
// texts and, with --contents, the same bytes. Exit status 0 when equal.

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct Tally {
    long files = 0;
    long folders = 0;
    long differences = 0;
    bool contents = false;
};

void differ(Tally& tally, const std::string& path, const char* what) {
    if (++tally.differences <= 20) {
        std::fprintf(stderr, "bench-verify: %s: %s\n", path.c_str(), what);
    }
}

std::vector<std::string> names(int fd) {
    std::vector<std::string> result;
    const int copy = ::dup(fd);
    DIR* dir = copy >= 0 ? ::fdopendir(copy) : nullptr;
    if (dir == nullptr) {
        if (copy >= 0) {
            ::close(copy);
        }
        return result;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            result.push_back(name);
        }
    }
    ::closedir(dir);
    std::sort(result.begin(), result.end());
    return result;
}

char kind(const struct stat& info) {
    if (S_ISREG(info.st_mode)) {
        return 'f';
    }
    if (S_ISDIR(info.st_mode)) {
        return 'd';
    }
    return S_ISLNK(info.st_mode) ? 'l' : 'o';
}

bool sameBytes(int sourceDir, int targetDir, const std::string& name) {
    const int a = ::openat(sourceDir, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    const int b = ::openat(targetDir, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    bool same = a >= 0 && b >= 0;
    static std::vector<char> left(1 << 18), right(1 << 18);
    while (same) {
        const ssize_t n = ::read(a, left.data(), left.size());
        if (n <= 0) {
            same = n == 0 && ::read(b, right.data(), 1) == 0;
            break;
        }
        ssize_t got = 0;
        while (got < n) {
            const ssize_t m = ::read(b, right.data() + got, static_cast<size_t>(n - got));
            if (m <= 0) {
                break;
            }
            got += m;
        }
        same = got == n && std::memcmp(left.data(), right.data(), static_cast<size_t>(n)) == 0;
    }
    if (a >= 0) {
        ::close(a);
    }
    if (b >= 0) {
        ::close(b);
    }
    return same;
}

void compareEntry(Tally& tally, int sourceDir, int targetDir, const std::string& name,
                  const std::string& path);

void compareFolders(Tally& tally, int sourceDir, int targetDir, const std::string& path) {
    ++tally.folders;
    const auto left = names(sourceDir);
    const auto right = names(targetDir);
    std::size_t i = 0, j = 0;
    while (i < left.size() || j < right.size()) {
        if (j == right.size() || (i < left.size() && left[i] < right[j])) {
            differ(tally, path + "/" + left[i++], "missing in the target");
        } else if (i == left.size() || right[j] < left[i]) {
            differ(tally, path + "/" + right[j++], "not in the source");
        } else {
            compareEntry(tally, sourceDir, targetDir, left[i], path + "/" + left[i]);
            ++i;
            ++j;
        }
    }
}

void compareEntry(Tally& tally, int sourceDir, int targetDir, const std::string& name,
                  const std::string& path) {
    struct stat a {};
    struct stat b {};
    if (::fstatat(sourceDir, name.c_str(), &a, AT_SYMLINK_NOFOLLOW) != 0 ||
        ::fstatat(targetDir, name.c_str(), &b, AT_SYMLINK_NOFOLLOW) != 0) {
        differ(tally, path, std::strerror(errno));
        return;
    }
    if (kind(a) != kind(b)) {
        differ(tally, path, "different kinds");
        return;
    }
    if (kind(a) == 'd') {
        const int s = ::openat(sourceDir, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const int t = ::openat(targetDir, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (s >= 0 && t >= 0) {
            compareFolders(tally, s, t, path);
        } else {
            differ(tally, path, "cannot open");
        }
        if (s >= 0) {
            ::close(s);
        }
        if (t >= 0) {
            ::close(t);
        }
        return;
    }
    ++tally.files;
    if (a.st_size != b.st_size) {
        differ(tally, path, "different sizes");
    } else if (a.st_mtim.tv_sec != b.st_mtim.tv_sec || a.st_mtim.tv_nsec != b.st_mtim.tv_nsec) {
        differ(tally, path, "different modification times");
    } else if (kind(a) == 'l') {
        char x[4096], y[4096];
        const ssize_t n = ::readlinkat(sourceDir, name.c_str(), x, sizeof x);
        const ssize_t m = ::readlinkat(targetDir, name.c_str(), y, sizeof y);
        if (n != m || n < 0 || std::memcmp(x, y, static_cast<size_t>(n)) != 0) {
            differ(tally, path, "different link texts");
        }
    } else if (tally.contents && kind(a) == 'f' && !sameBytes(sourceDir, targetDir, name)) {
        differ(tally, path, "different contents");
    }
}

} // namespace

int main(int argc, char** argv) {
    Tally tally;
    int first = 1;
    if (argc > 1 && std::string(argv[1]) == "--contents") {
        tally.contents = true;
        first = 2;
    }
    if (argc - first != 2) {
        std::fputs("usage: bench-verify [--contents] SOURCE TARGET\n", stderr);
        return 2;
    }
    const int source = ::open(argv[first], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const int target = ::open(argv[first + 1], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (source < 0 || target < 0) {
        std::fprintf(stderr, "bench-verify: cannot open %s\n",
                     argv[source < 0 ? first : first + 1]);
        return 1;
    }
    compareFolders(tally, source, target, "");
    if (tally.differences > 0) {
        std::fprintf(stderr, "bench-verify: %ld differences\n", tally.differences);
        return 1;
    }
    std::printf("equal: %ld files, %ld folders\n", tally.files, tally.folders);
    return 0;
}
