// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "RunHelpers.h"

#include "report/SyncStats.h"

#include <gtest/gtest.h>
#include <random>
#include <set>

namespace kestrova::test {
namespace {

#ifdef _WIN32
constexpr bool kHasLinks = false; // the Windows fixture makes no links
#else
constexpr bool kHasLinks = true;
#endif

// Random trees and random changes between runs; after every run with the delete
// option the target must equal the source exactly, and exactly the new or changed
// files and links must have been copied.
class RandomTrees {
public:
    explicit RandomTrees(unsigned seed) : random_(seed) {}

    Tree make() {
        Tree tree;
        fill(tree, "", 0);
        return tree;
    }

    // Changes times and contents, removes entries (folders whole) and adds new ones,
    // whose names may be those of removed entries of another kind. Never empties the
    // tree, as the delete option leaves a backup alone when its source is empty.
    Tree change(const Tree& before) {
        std::set<std::string> removed;
        Tree after;
        for (const auto& [path, item] : before) {
            if (underRemoved(path, removed)) {
                continue;
            }
            const int roll = pick(0, 9);
            if (roll == 0) {
                removed.insert(path);
                continue;
            }
            Item changed = item;
            if (item.kind != 'd' && roll == 1) {
                changed = item.kind == 'l' ? randomLink() : randomFile();
            }
            after[path] = changed;
        }
        for (const auto& [path, item] : Tree(after)) {
            if (item.kind == 'd' && pick(0, 3) == 0) {
                fill(after, path + "/", depthOf(path) + 1);
            }
        }
        if (after.empty()) {
            after["a0"] = randomFile();
        }
        return after;
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    static int depthOf(const std::string& path) {
        return static_cast<int>(std::count(path.begin(), path.end(), '/'));
    }
    static bool underRemoved(const std::string& path, const std::set<std::string>& removed) {
        for (const std::string& gone : removed) {
            if (path == gone || path.rfind(gone + "/", 0) == 0) {
                return true;
            }
        }
        return false;
    }

    std::string randomName() {
        // Windows has no names that differ in case only.
#ifdef _WIN32
        constexpr const char* kUpper = "Ab";
#else
        constexpr const char* kUpper = "A";
#endif
        static const char* const names[] = {"a",
                                            kUpper,
                                            "b",
                                            "B.txt",
                                            "c d",
                                            "ü",
                                            "日誌",
                                            ".hidden",
                                            "-dash",
                                            "x~",
                                            "long-name-of-a-file",
                                            "z"};
        return names[pick(0, 11)] + std::to_string(pick(0, 3));
    }
    Item randomFile() {
        static const unsigned modes[] = {0644, 0600, 0755, 0640};
        std::string contents(
            static_cast<std::size_t>(pick(0, 3) == 0 ? pick(0, 200000) : pick(0, 64)), '\0');
        for (char& c : contents) {
            c = static_cast<char>(pick(0, 255));
        }
        return File(contents, kTime + pick(-100000, 100000), pick(0, 999999999), modes[pick(0, 3)]);
    }
    Item randomLink() {
        return Link(pick(0, 1) == 0 ? "../" + randomName() : "/nowhere/" + randomName(),
                    kTime + pick(-100000, 100000), pick(0, 999999999));
    }

    void fill(Tree& tree, const std::string& prefix, int depth) {
        const int count = pick(0, depth == 0 ? 8 : 4);
        for (int i = 0; i < count; ++i) {
            const std::string path = prefix + randomName();
            if (tree.count(path) != 0) {
                continue;
            }
            const int kind = pick(0, 9);
            if (kind < 3 && depth < 4) {
                tree[path] = Folder();
                fill(tree, path + "/", depth + 1);
            } else if (kind == 3 && kHasLinks) {
                tree[path] = randomLink();
            } else {
                tree[path] = randomFile();
            }
        }
    }

    std::mt19937 random_;
};

std::size_t CopiesExpected(const Tree& before, const Tree& after) {
    std::size_t copies = 0;
    for (const auto& [path, item] : after) {
        const auto old = before.find(path);
        if (item.kind != 'd' &&
            (old == before.end() || old->second.seconds != item.seconds ||
             old->second.nanoseconds / kTimeStep != item.nanoseconds / kTimeStep)) {
            ++copies;
        }
    }
    return copies;
}

// Runs one pair with its deletions listed, as a preview or for real.
std::string RunListingDeleted(const std::string& src, const std::string& dst, bool preview) {
    TestWindow window({{src, dst, 2, {}}}, true);
    RunOptions options;
    options.preview = preview;
    options.listDeleted = true;
    window.setRunOptions(options);
    RunToEnd(window);
    return window.report();
}

// A preview's report in the words of a run's, for comparing the lists.
std::string AsRunReport(std::string report) {
    for (const auto& [preview, run] :
         {std::pair{"將會更新以下文件", "更新了以下改動過的文件"},
          std::pair{"將會刪除以下文件和目錄", "刪除了以下文件和目錄"}}) {
        const std::size_t at = report.find(preview);
        if (at != std::string::npos) {
            report.replace(at, std::string(preview).size(), run);
        }
    }
    return report;
}

TEST(PropertyTest, RandomTreesAndChangesAreMirroredExactly) {
    for (unsigned seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        TempFolder temp;
        const std::string src = temp.sub("src");
        const std::string dst = temp.sub("dst");
        RandomTrees trees(seed);
        Tree target;
        Tree source = trees.make();
        for (int round = 0; round < 3; ++round) {
            RemoveBelow(src);
            WriteTree(src, source);
            // A preview changes nothing and lists exactly what the run then does.
            const Tree before = ReadTree(dst);
            const std::string preview = RunListingDeleted(src, dst, true);
            EXPECT_EQ(ReadTree(dst), before) << "round " << round;
            EXPECT_EQ(AsRunReport(preview), RunListingDeleted(src, dst, false))
                << "round " << round;
            EXPECT_EQ(ReadTree(dst), Full(source)) << "round " << round;
            EXPECT_EQ(g_syncStats.filesCopied.load(), CopiesExpected(target, source));
            EXPECT_EQ(g_syncStats.filesFailed.load(), 0u);
            target = source;
            source = trees.change(source);
        }
    }
}

} // namespace
} // namespace kestrova::test
