// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "RunHelpers.h"

#include "support/TestMount.h"

#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>

namespace kestrova::test {
namespace {

ino_t Inode(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// Every folder's time below `root` (the root's own under "").
std::map<std::string, std::pair<std::int64_t, std::int64_t>> FolderTimes(const std::string& root) {
    std::map<std::string, std::pair<std::int64_t, std::int64_t>> times;
    Tree tree = ReadTree(root);
    tree[""] = Folder();
    for (const auto& [path, item] : tree) {
        struct stat st {};
        if (item.kind == 'd' && ::lstat((root + "/" + path).c_str(), &st) == 0) {
            times[path] = {st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
        }
    }
    return times;
}

// A target whose file system refuses every move.
class NoMoves : public NativeFileSystem {
public:
    int moveEntry(FolderHandle, const char*, FolderHandle, const char*) override { return EXDEV; }
};

// The report block of a pair that ran with its deletions listed, and deleted nothing.
std::string BlockNothingDeleted(const std::string& source, const std::string& target,
                                const std::vector<std::string>& updated) {
    std::string block = Block(source, target, {}, updated);
    return block.insert(block.rfind("\r\n---"), "沒有文件需要刪除\r\n");
}

class PosixMoveTest : public ::testing::Test {
protected:
    std::string run(bool deleteOption, bool preview = false, FileSystem* fs = nullptr) {
        TestWindow window({{src, dst, 2, {}}}, deleteOption);
        window.setRunOptions({preview, true, RunOptions::kNoCap});
        RunToEnd(window, fs);
        return window.report();
    }

    TempFolder temp;
    std::string src = temp.sub("src");
    std::string dst = temp.sub("dst");
    const std::string big = std::string(std::size_t{1} << 20, 'v');
};

TEST_F(PosixMoveTest, ARenamedFolderAndALargeFileMovedUnderItsNameAreMovedNotCopied) {
    WriteTree(dst, {{"from/old/sub/a", File("aa", kTime, 5)},
                    {"from/old/b", File("bb")},
                    {"from/old/l", Link("b")},
                    {"from/stay", File("s")},
                    {"to", Folder()},
                    {"clips/big", File(big, kTime, 7)},
                    {"clips/note", File("n")},
                    {"videos", Folder()}});
    WriteTree(src, {{"from/stay", File("s")},
                    {"to/renamed/sub/a", File("aa", kTime, 5)},
                    {"to/renamed/b", File("bb")},
                    {"to/renamed/l", Link("b")},
                    {"clips/note", File("n")},
                    {"u", File("u")},
                    {"videos/big", File(big, kTime, 7)}});
    const ino_t folder = Inode(dst + "/from/old");
    const ino_t file = Inode(dst + "/clips/big");

    const std::string preview = run(true, true);
    EXPECT_EQ(Inode(dst + "/from/old"), folder);
    const std::string expected =
        BlockNothingDeleted(src, dst, {src + "/to/renamed", src + "/u", src + "/videos/big"});
    EXPECT_EQ(preview, std::string(expected).replace(expected.find("更新了以下改動過的文件"),
                                                     std::string("更新了以下改動過的文件").size(),
                                                     "將會更新以下文件"));

    EXPECT_EQ(run(true), expected);
    EXPECT_EQ(ReadTree(dst), ReadTree(src));
    EXPECT_EQ(Inode(dst + "/to/renamed"), folder);
    EXPECT_EQ(Inode(dst + "/videos/big"), file);
    // The folders the entries left and entered have their sources' times again.
    EXPECT_EQ(FolderTimes(dst), FolderTimes(src));
    EXPECT_EQ(run(true), BlockNothingDeleted(src, dst, {}));
}

// What must be copied rather than moved: the old entry is deleted (or kept, without
// the delete option or where it is read-only) and the new one is a copy of its own.
TEST_F(PosixMoveTest, EntriesThatDoNotMatchExactlyAreCopied) {
    struct Case {
        const char* what;
        Tree target;
        Tree source;
        bool deleteOption;
        bool oldStays;
        bool refuseMoves;
        const char* oldPath;
        const char* newPath;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"a file of another size", {{"old/f", File("aa")}}, {{"new/f", File("aaa")}},
         true, false, false, "old", "new"},
        {"a file of another time", {{"old/f", File("aa")}}, {{"new/f", File("aa", kTime + 1)}},
         true, false, false, "old", "new"},
        {"a folder holding another file", {{"old/f", File("aa")}},
         {{"new/f", File("aa")}, {"new/g", File("g")}},
         true, false, false, "old", "new"},
        {"without the delete option", {{"old/f", File("aa")}}, {{"new/f", File("aa")}},
         false, true, false, "old", "new"},
        {"a read-only file, which the delete option keeps",
         {{"old/f", File("aa", kTime, 0, 0444)}}, {{"new/f", File("aa", kTime, 0, 0444)}},
         true, true, false, "old", "new"},
        {"a move the file system refuses", {{"old/f", File("aa")}}, {{"new/f", File("aa")}},
         true, false, true, "old", "new"},
        {"a large file under another name", {{"d/big", File(big)}}, {{"d/copy", File(big)}},
         true, false, false, "d/big", "d/copy"},
        {"a large file with a twin", {{"a/big", File(big)}, {"b", Folder()}, {"c", Folder()}},
         {{"b/big", File(big)}, {"c/big", File(big)}, {"a/x", File("x")}},
         true, false, false, "a/big", "b/big"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RemoveBelow(src);
        RemoveBelow(dst);
        WriteTree(dst, c.target);
        WriteTree(src, c.source);
        const ino_t old = Inode(dst + "/" + c.oldPath);
        NoMoves noMoves;
        run(c.deleteOption, false, c.refuseMoves ? &noMoves : nullptr);
        Tree expected = ReadTree(src);
        if (c.oldStays) {
            expected.merge(Full(c.target));
            EXPECT_EQ(Inode(dst + "/" + c.oldPath), old);
        }
        EXPECT_EQ(ReadTree(dst), expected);
        EXPECT_NE(Inode(dst + "/" + c.newPath), old);
    }
}

// A target that keeps whole seconds moves folders, never single files; nothing moves
// onto another mount.
TEST_F(PosixMoveTest, CoarseTimesMoveOnlyFoldersAndNothingMovesAcrossAMount) {
    const std::string point = temp.sub("dst/coarse");
    TestMount coarse(point);
    if (!coarse.mount("truncate -s 32M " + temp.path() + "/image && mkfs.ext4 -q -F -I 128 " +
                      temp.path() + "/image && mount -o loop " + temp.path() +
                      "/image \"$POINT\"")) {
        GTEST_SKIP() << "no loop mount here";
    }
    const std::string inner = point + "/t";
    ::mkdir(inner.c_str(), 0755);
    WriteTree(inner, {{"old/f", File("aa")}, {"a/big", File(big)}, {"b", Folder()}});
    WriteTree(src, {{"new/f", File("aa")}, {"a/x", File("x")}, {"b/big", File(big)}});
    const ino_t folder = Inode(inner + "/old");
    const ino_t file = Inode(inner + "/a/big");
    TestWindow window({{src, inner, 2, {}}}, true);
    RunToEnd(window);
    EXPECT_EQ(ReadTree(inner), ReadTree(src));
    EXPECT_EQ(Inode(inner + "/new"), folder);
    EXPECT_NE(Inode(inner + "/b/big"), file);

    // A folder renamed from the target into a mount below it is copied there.
    RemoveBelow(src);
    RemoveBelow(inner);
    WriteTree(dst, {{"old/f", File("aa")}});
    WriteTree(src, {{"coarse/t/new/f", File("aa")}});
    const ino_t moved = Inode(dst + "/old");
    run(true);
    EXPECT_EQ(ReadTree(inner + "/new"), ReadTree(src + "/coarse/t/new"));
    EXPECT_NE(Inode(inner + "/new"), moved);
}

} // namespace
} // namespace kestrova::test
