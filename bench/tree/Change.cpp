// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "tree/Change.h"

#include "tree/Random.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kestrova::bench {
namespace {

namespace fs = std::filesystem;

std::string failure(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

// Relative paths of all regular files, sorted, so that a seed always picks the same.
std::vector<std::string> listFiles(const std::string& root) {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file() && !entry.is_symlink()) {
            files.push_back(fs::relative(entry.path(), root).string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::string> pick(std::vector<std::string> files, std::uint64_t seed, double share) {
    Random random(seed);
    const auto count =
        std::min(files.size(),
                 static_cast<std::size_t>(std::llround(static_cast<double>(files.size()) * share)));
    for (std::size_t i = 0; i < count; ++i) {
        std::swap(files[i], files[i + random.below(files.size() - i)]);
    }
    files.resize(count);
    return files;
}

} // namespace

std::string touchFiles(const std::string& root, std::uint64_t seed, double share) {
    Random random(seed ^ 0x5A5A5A5Aull);
    for (const auto& file : pick(listFiles(root), seed, share)) {
        const std::string path = root + "/" + file;
        timespec times[2]{};
        times[0].tv_nsec = UTIME_OMIT;
        // Generated times end in 2025; these lie beyond and differ per seed.
        times[1].tv_sec = static_cast<time_t>(1800000000 + (seed % 100000) * 100);
        times[1].tv_nsec = static_cast<long>(random.below(1000000000));
        if (::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) {
            return failure("cannot set the time of", path);
        }
    }
    return {};
}

std::string hideFiles(const std::string& source, const std::string& target,
                      const std::string& stash, std::uint64_t seed, double share) {
    if (::mkdir(stash.c_str(), 0755) != 0 || ::mkdir((stash + "/s").c_str(), 0755) != 0 ||
        ::mkdir((stash + "/t").c_str(), 0755) != 0) {
        return failure("cannot create", stash);
    }
    const auto chosen = pick(listFiles(source), seed, share);
    std::ofstream list(stash + "/list", std::ios::binary);
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        const std::string name = "/" + std::to_string(i);
        const std::string inTarget = target + "/" + chosen[i];
        if (::link(inTarget.c_str(), (stash + "/t" + name).c_str()) != 0) {
            return failure("cannot link", inTarget);
        }
        const std::string inSource = source + "/" + chosen[i];
        if (::rename(inSource.c_str(), (stash + "/s" + name).c_str()) != 0) {
            return failure("cannot move", inSource);
        }
        list << chosen[i] << '\n';
    }
    return list.flush() ? std::string() : "cannot write " + stash + "/list";
}

std::string restoreHidden(const std::string& source, const std::string& target,
                          const std::string& stash) {
    std::ifstream list(stash + "/list", std::ios::binary);
    std::string file;
    for (std::size_t i = 0; std::getline(list, file); ++i) {
        const std::string name = "/" + std::to_string(i);
        const std::string inSource = source + "/" + file;
        if (::rename((stash + "/s" + name).c_str(), inSource.c_str()) != 0) {
            return failure("cannot restore", inSource);
        }
        const std::string inTarget = target + "/" + file;
        if (::rename((stash + "/t" + name).c_str(), inTarget.c_str()) != 0) {
            return failure("cannot restore", inTarget);
        }
    }
    std::error_code error;
    fs::remove_all(stash, error);
    return error ? "cannot remove " + stash + ": " + error.message() : std::string();
}

} // namespace kestrova::bench
