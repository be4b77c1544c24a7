#include "RunHelpers.h"

#include "sync/SyncStats.h"

#include <gtest/gtest.h>
#include <random>
#include <set>

namespace kestrova::test {
namespace {

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
        static const char* const names[] = {"a",
                                            "A",
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
            } else if (kind == 3) {
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
        if (item.kind != 'd' && (old == before.end() || old->second.seconds != item.seconds ||
                                 old->second.nanoseconds != item.nanoseconds)) {
            ++copies;
        }
    }
    return copies;
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
            const int top = ::open(src.c_str(), O_RDONLY | O_DIRECTORY);
            RemoveBelow(top);
            ::close(top);
            WriteTree(src, source);
            RunPair(src, dst, true);
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
