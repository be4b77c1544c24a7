// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "RunHelpers.h"

#include <climits>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace kestrova::test {
namespace {

constexpr int kDepth = 600;

std::string LevelName(int level) {
    return "level-" + std::to_string(level);
}

// A chain of kDepth folders with a file in every hundredth, as a tree, and written.
Tree DeepTree() {
    Tree tree;
    std::string path;
    for (int level = 0; level < kDepth; ++level) {
        path += (level == 0 ? "" : "/") + LevelName(level);
        tree[path] = Folder();
        if (level % 100 == 99) {
            tree[path + "/file"] = File(std::to_string(level));
        }
    }
    return tree;
}

// Creates the chain one folder at a time, as no single path to its bottom works.
void WriteDeep(const std::string& root) {
    int folder = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
    for (int level = 0; level < kDepth; ++level) {
        ASSERT_EQ(::mkdirat(folder, LevelName(level).c_str(), 0755), 0);
        const int next = OpenFolder(folder, LevelName(level));
        ::close(folder);
        folder = next;
        if (level % 100 == 99) {
            WriteItem(folder, "file", File(std::to_string(level)));
        }
    }
    ::close(folder);
}

// Keeps the open-files limit low for the duration of a test.
class FileLimit {
public:
    explicit FileLimit(rlim_t limit) {
        ::getrlimit(RLIMIT_NOFILE, &old_);
        struct rlimit low = old_;
        low.rlim_cur = limit;
        ::setrlimit(RLIMIT_NOFILE, &low);
    }
    ~FileLimit() { ::setrlimit(RLIMIT_NOFILE, &old_); }

private:
    struct rlimit old_;
};

std::size_t OpenFileCount() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/fd")) {
        ++count;
    }
    return count;
}

// Also: the runs close every folder they opened, those read ahead included.
TEST(DeepTreeTest, TreesDeeperThanTheLongestPathAreMirroredAndPrunedWithFewOpenFiles) {
    TempFolder temp;
    const std::string src = temp.sub("src");
    const std::string dst = temp.sub("dst");
    const Tree tree = DeepTree();
    WriteDeep(src);
    const std::size_t openBefore = OpenFileCount();

    std::string report;
    {
        FileLimit limit(100);
        report = RunPair(src, dst, true);
    }
    EXPECT_EQ(ReadTree(dst), tree);
    std::string deepest = src;
    for (int level = 0; level < kDepth; ++level) {
        deepest += "/" + LevelName(level);
    }
    deepest += "/file";
    EXPECT_GT(deepest.size(), static_cast<std::size_t>(PATH_MAX));
    EXPECT_NE(report.find("\r\n" + deepest + "\r\n"), std::string::npos);

    // Cut the source below level 150: the prune pass removes the rest of the chain.
    Tree cut;
    for (const auto& [path, item] : tree) {
        if (std::count(path.begin(), path.end(), '/') < 150) {
            cut[path] = item;
        }
    }
    {
        const int top = ::open(src.c_str(), O_RDONLY | O_DIRECTORY);
        std::string parent = "level-0";
        for (int level = 1; level < 150; ++level) {
            parent += "/" + LevelName(level);
        }
        const int folder = OpenPath(top, parent, false);
        RemoveBelow(folder);
        ::close(folder);
        ::close(top);
    }
    ASSERT_EQ(ReadTree(src), cut);
    {
        FileLimit limit(100);
        EXPECT_EQ(RunPair(src, dst, true), Block(src, dst, {}, {}));
    }
    EXPECT_EQ(ReadTree(dst), cut);
    EXPECT_EQ(OpenFileCount(), openBefore);
}

} // namespace
} // namespace kestrova::test
