// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "tree/Generate.h"

#include "tree/Random.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kestrova::bench {
namespace {

struct Folder {
    std::string path;
    int depth = 0;
    std::set<std::string> names;
};

std::string failure(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

// Mostly plain ASCII names of varied length, with a share of spaces, dots and
// multi-byte UTF-8 so that byte-order sorting and name handling are exercised.
std::string randomName(Random& random) {
    static const char* const letters =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-";
    static const char* const words[] = {"報告", "café", "Ölmühle", "データ", "résumé", "日記"};
    std::string name;
    const auto length = 3 + random.below(14);
    for (std::uint64_t i = 0; i < length; ++i) {
        name += letters[random.below(64)];
    }
    const auto flavour = random.below(100);
    if (flavour < 3) {
        name = words[random.below(6)] + std::string(" ") + name;
    } else if (flavour < 6) {
        name.insert(name.size() / 2, " ");
    }
    return name;
}

std::string uniqueName(Random& random, Folder& folder, const char* extension) {
    for (;;) {
        std::string name = randomName(random) + extension;
        if (folder.names.insert(name).second) {
            return name;
        }
    }
}

// Between 0 and 16 KiB, about 4 KiB on average: a truncated exponential.
std::size_t smallFileSize(Random& random) {
    const double size = -std::log(1.0 - random.unit()) * 4300.0;
    return size >= 16384.0 ? 16384 : static_cast<std::size_t>(size);
}

timespec randomTime(Random& random) {
    // Between 2015 and 2025, with nanoseconds, so that exact comparison matters.
    timespec time{};
    time.tv_sec = static_cast<time_t>(1420070400 + random.below(315360000));
    time.tv_nsec = static_cast<long>(random.below(1000000000));
    return time;
}

bool writeAll(int fd, const char* data, std::size_t size) {
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

void fill(Random& random, std::vector<char>& buffer) {
    for (std::size_t i = 0; i + 8 <= buffer.size(); i += 8) {
        const std::uint64_t value = random.next();
        std::memcpy(buffer.data() + i, &value, 8);
    }
}

} // namespace

std::string makeSmallTree(const std::string& root, std::uint64_t seed, int files, int folders,
                          int maxDepth) {
    Random random(seed);
    std::vector<Folder> tree(1);
    tree[0].path = root;
    if (::mkdir(root.c_str(), 0755) != 0) {
        return failure("cannot create", root);
    }
    std::vector<std::size_t> parents{0};
    for (int i = 1; i < folders; ++i) {
        const std::size_t parent = parents[random.below(parents.size())];
        Folder child;
        child.depth = tree[parent].depth + 1;
        child.path = tree[parent].path + "/" + uniqueName(random, tree[parent], "");
        if (::mkdir(child.path.c_str(), 0755) != 0) {
            return failure("cannot create", child.path);
        }
        if (child.depth < maxDepth) {
            parents.push_back(tree.size());
        }
        tree.push_back(std::move(child));
    }

    static const char* const extensions[] = {".txt", ".jpg", ".doc", ".c",
                                             ".h",   "",     ".dat", ".tar.gz"};
    std::vector<char> pool(1 << 20);
    fill(random, pool);
    for (int i = 0; i < files; ++i) {
        Folder& folder = tree[random.below(tree.size())];
        const std::string path =
            folder.path + "/" + uniqueName(random, folder, extensions[random.below(8)]);
        const std::size_t size = smallFileSize(random);
        const std::size_t offset = random.below(pool.size() - 16384);
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            return failure("cannot create", path);
        }
        const timespec times[2] = {randomTime(random), randomTime(random)};
        const bool ok = writeAll(fd, pool.data() + offset, size) && ::futimens(fd, times) == 0;
        ::close(fd);
        if (!ok) {
            return failure("cannot write", path);
        }
    }
    return {};
}

std::string makeLargeTree(const std::string& root, std::uint64_t seed, int files,
                          std::uint64_t bytesEach) {
    Random random(seed);
    if (::mkdir(root.c_str(), 0755) != 0) {
        return failure("cannot create", root);
    }
    std::vector<char> block(1 << 20);
    for (int i = 0; i < files; ++i) {
        const std::string path = root + "/large-" + std::to_string(i) + ".bin";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            return failure("cannot create", path);
        }
        bool ok = true;
        for (std::uint64_t done = 0; ok && done < bytesEach; done += block.size()) {
            fill(random, block);
            const auto size = std::min<std::uint64_t>(block.size(), bytesEach - done);
            ok = writeAll(fd, block.data(), static_cast<std::size_t>(size));
        }
        const timespec times[2] = {randomTime(random), randomTime(random)};
        ok = ok && ::futimens(fd, times) == 0;
        ::close(fd);
        if (!ok) {
            return failure("cannot write", path);
        }
    }
    return {};
}

std::string makeSparseTree(const std::string& root, std::uint64_t seed, int files,
                           std::uint64_t bytesEach, std::uint64_t dataEach) {
    Random random(seed);
    if (::mkdir(root.c_str(), 0755) != 0) {
        return failure("cannot create", root);
    }
    std::vector<char> block(1 << 20);
    const std::uint64_t stretches = std::max<std::uint64_t>(dataEach / block.size(), 1);
    for (int i = 0; i < files; ++i) {
        const std::string path = root + "/sparse-" + std::to_string(i) + ".img";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            return failure("cannot create", path);
        }
        // Stretches of data spread evenly, holes between them and at the end.
        bool ok = true;
        for (std::uint64_t n = 0; ok && n < stretches; ++n) {
            fill(random, block);
            ok = ::lseek(fd, static_cast<off_t>(n * (bytesEach / stretches)), SEEK_SET) >= 0 &&
                 writeAll(fd, block.data(), block.size());
        }
        const timespec times[2] = {randomTime(random), randomTime(random)};
        ok =
            ok && ::ftruncate(fd, static_cast<off_t>(bytesEach)) == 0 && ::futimens(fd, times) == 0;
        ::close(fd);
        if (!ok) {
            return failure("cannot write", path);
        }
    }
    return {};
}

} // namespace kestrova::bench
