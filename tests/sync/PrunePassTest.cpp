// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "RunHelpers.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kestrova::test {
namespace {

class PrunePassTest : public ::testing::Test {
protected:
    TempFolder temp;
    std::string src = temp.sub("src");
    std::string dst = temp.sub("dst");
};

TEST_F(PrunePassTest, MirrorsTheSourceAndReportsNoDeletions) {
    const Tree source = {{"keep", File("k")}, {"dir/keep", File("k")}, {"empty", Folder()}};
    WriteTree(src, source);
    Tree target = {{"keep", File("k", kTime + 50)},
                   {"only-in-target", File("x")},
                   {"dir/stale", File("x")},
                   {"gone/deep/deeper/file", File("x")}};
#ifndef _WIN32
    target["gone/link"] = Link("/");
    target["stale-link"] = Link(src);
#endif
    WriteTree(dst, target);

    EXPECT_EQ(RunPair(src, dst, true), Block(src, dst, {}, {src + "/dir/keep", src + "/keep"}));
    EXPECT_EQ(ReadTree(dst), Full(source));
    EXPECT_EQ(ReadTree(src), Full(source));
}

TEST_F(PrunePassTest, WithoutTheOptionNothingIsDeleted) {
    WriteTree(src, {{"a", File("a")}});
    WriteTree(dst, {{"a", File("a")}, {"extra", File("e")}, {"old/f", File("f")}});
    RunPair(src, dst, false);
    EXPECT_EQ(
        ReadTree(dst),
        (Tree{{"a", File("a")}, {"extra", File("e")}, {"old", Folder()}, {"old/f", File("f")}}));
}

TEST_F(PrunePassTest, ReadOnlyFilesAndTheFoldersHoldingThemSurvive) {
    WriteTree(src, {{"a", File("a")}});
    WriteTree(dst, {{"a", File("a")},
                    {"ro-file", File("r", kTime, 0, 0444)},
                    {"gone/ro", File("r", kTime, 0, 0400)},
                    {"gone/rw", File("w")},
                    {"gone/sub/rw", File("w")}});
    RunPair(src, dst, true);
    EXPECT_EQ(ReadTree(dst), (Tree{{"a", File("a")},
                                   {"ro-file", File("r", kTime, 0, 0444)},
                                   {"gone", Folder()},
                                   {"gone/ro", File("r", kTime, 0, 0400)}}));
}

// Entries of different kinds are never up to date. A file or link in the way is
// replaced by the copy; a folder in the way of a file, or a file in the way of a
// folder, is listed without the delete option and replaced with it, in one run, the
// way the prune pass removes things (a read-only file stays, and so does its folder).
TEST_F(PrunePassTest, EntriesOfAnotherKindAreReplacedInOneRun) {
    Tree source = {
        {"stuck", File("s")}, {"was-file/f", File("f")}, {"was-folder", File("now a file")}};
    Tree target = {{"stuck/ro", File("r", kTime, 0, 0444)},
                   {"was-file", File("old")},
                   {"was-folder/inner", File("i")},
                   {"was-folder/sub/inner", File("i")}};
    const std::string stuck = src + "/stuck";
    std::vector<std::string> failed = {stuck, src + "/was-file", src + "/was-folder"};
    std::vector<std::string> updated;
#ifndef _WIN32
    source["was-link-dir"] = Folder();
    source["was-link"] = File("l");
    target["was-link-dir"] = Link(src);
    target["was-link"] = Link("l");
    failed.push_back(src + "/was-link-dir");
    updated.push_back(src + "/was-link");
#endif
    WriteTree(src, source);
    WriteTree(dst, target);
    EXPECT_EQ(RunPair(src, dst, false), Block(src, dst, failed, updated));
    EXPECT_EQ(RunPair(src, dst, true),
              Block(src, dst, {stuck}, {src + "/was-file/f", src + "/was-folder"}));
    Tree expected = Full(source);
    expected["stuck"] = Folder();
    expected["stuck/ro"] = File("r", kTime, 0, 0444);
    EXPECT_EQ(ReadTree(dst), expected);
}

TEST_F(PrunePassTest, AnEmptySourceNeverEmptiesItsBackup) {
    const Tree backup = {{"f", File("f")}, {"d/g", File("g")}};
    WriteTree(dst, backup);
    EXPECT_EQ(RunPair(src, dst, true), Block(src, dst, {}, {}, "源目錄為空，已跳過刪除"));
    EXPECT_EQ(ReadTree(dst), Full(backup));
}

// Only a source that says "does not exist" lets anything go: a source folder whose
// names cannot be read, or that lists them and then fails to look them up, deletes
// nothing.
class FailingSourceReads : public NativeFileSystem {
public:
    FailingSourceReads(std::string source, int error, bool lists)
        : source_(std::move(source)), error_(error), lists_(lists) {}
    LookUpResult lookUp(FolderHandle folder, const char* name) override {
        if (std::string(name) != "a" && IsFolder(*this, folder, source_)) {
            LookUpResult result;
            result.error = error_;
            return result;
        }
        return NativeFileSystem::lookUp(folder, name);
    }
    int enumerate(FolderHandle folder, FolderListing& listing) override {
        if (!lists_ && IsFolder(*this, folder, source_)) {
            return error_;
        }
        return NativeFileSystem::enumerate(folder, listing);
    }

private:
    std::string source_;
    int error_;
    bool lists_;
};

TEST_F(PrunePassTest, SourceReadErrorsOtherThanNotFoundDeleteNothing) {
    WriteTree(src, {{"a", File("a")}});
    const Tree target = {
        {"a", File("a")}, {"x", File("x")}, {"dir", Folder()}, {"dir/y", File("y")}};
    WriteTree(dst, target);
    for (const bool lists : {false, true}) {
        for (const int error : {EACCES, EIO, ENOTCONN}) {
            FailingSourceReads fs(src, error, lists);
            RunPair(src, dst, true, &fs);
            EXPECT_EQ(ReadTree(dst), target) << "errno " << error << (lists ? ", listed" : "");
        }
    }
}

// The source side of "locked" cannot be opened, or opens and cannot be listed; its
// target side can be both.
class LockedInSource : public NativeFileSystem {
public:
    LockedInSource(std::string source, bool opens) : source_(std::move(source)), opens_(opens) {}
    int openFolder(FolderHandle parent, const char* name, FolderHandle& folder) override {
        if (!opens_ && std::string(name) == "locked" && IsFolder(*this, parent, source_)) {
            folder = kNoFolder;
            return EACCES;
        }
        return NativeFileSystem::openFolder(parent, name, folder);
    }
    int enumerate(FolderHandle folder, FolderListing& listing) override {
        if (opens_ && IsFolder(*this, folder, Native(source_ + "/locked"))) {
            return EACCES;
        }
        return NativeFileSystem::enumerate(folder, listing);
    }

private:
    std::string source_;
    bool opens_;
};

TEST_F(PrunePassTest, AFolderThatCannotBeReadInTheSourceKeepsItsTargetContents) {
    WriteTree(src, {{"locked/f", File("f")}});
    const Tree target = {
        {"locked", Folder()}, {"locked/f", File("f")}, {"locked/other", File("o")}};
    WriteTree(dst, target);
    for (const bool opens : {false, true}) {
        LockedInSource fs(src, opens);
        EXPECT_EQ(RunPair(src, dst, true, &fs), Block(src, dst, {src + "/locked"}, {})) << opens;
        EXPECT_EQ(ReadTree(dst), target) << opens;
    }
}

// The copy pass notes what the target holds beyond the source; the prune pass then
// opens only the folders that hold something to delete, and looks each entry up in
// the source again first: one that appeared there since the copy pass stays.
class LateSourceEntry : public NativeFileSystem {
public:
    LateSourceEntry(std::string target, std::string late)
        : target_(std::move(target)), late_(std::move(late)) {}
    int enumerate(FolderHandle folder, FolderListing& listing) override {
        const int error = NativeFileSystem::enumerate(folder, listing);
        if (IsFolder(*this, folder, target_)) {
            WriteTree(late_, {{"late", File("l")}});
        }
        return error;
    }
    int openFolder(FolderHandle parent, const char* name, FolderHandle& folder) override {
        ++opened;
        return NativeFileSystem::openFolder(parent, name, folder);
    }
    int opened = 0;

private:
    std::string target_;
    std::string late_;
};

TEST_F(PrunePassTest, OnlyFoldersWithSomethingToDeleteAreOpenedAgainAndEachIsCheckedThen) {
    Tree source;
    Tree target = {{"d0/late", File("l")}, {"d1/stale", File("x")}};
    for (const std::string folder : {"d0", "d1", "d2", "d3"}) {
        source[folder + "/f"] = File("f");
        target[folder + "/f"] = File("f");
    }
    WriteTree(src, source);
    WriteTree(dst, target);
    LateSourceEntry fs(dst + "/d0", src + "/d0");
    RunPair(src, dst, true, &fs);
    target.erase("d1/stale");
    EXPECT_EQ(ReadTree(dst), Full(target));
    // The copy pass opens the four folders on both sides, the prune pass d0 and d1.
    EXPECT_EQ(fs.opened, 12);
}

} // namespace
} // namespace kestrova::test
