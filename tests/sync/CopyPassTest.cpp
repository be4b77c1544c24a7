// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "RunHelpers.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace kestrova::test {
namespace {

class CopyPassTest : public ::testing::Test {
protected:
    TempFolder temp;
    std::string src = temp.sub("src");
    std::string dst = temp.sub("dst");
};

TEST_F(CopyPassTest, FirstRunCopiesEverythingInNameOrderAndSecondRunCopiesNothing) {
    Tree source = {
        {"b.txt", File("bee", kTime, 123456789)},
        {"a.txt", File("a", kTime + 5)},
        {"sub", Folder()},
        {"sub/z", File("z")},
        {"sub/empty", Folder()},
        {"ün", File("u", kTime, 1)},
    };
    std::vector<std::string> copied = {src + "/a.txt", src + "/b.txt", src + "/sub/z", src + "/ün"};
#ifndef _WIN32
    // Names that differ in case only are two files here, in the order of their bytes.
    source["B.txt"] = File("upper");
    copied.insert(copied.begin(), src + "/B.txt");
#endif
    WriteTree(src, source);

    EXPECT_EQ(RunPair(src, dst), Block(src, dst, {}, copied));
    EXPECT_EQ(ReadTree(dst), Full(source));
    EXPECT_EQ(RunPair(src, dst), Block(src, dst, {}, {}));
    EXPECT_EQ(ReadTree(dst), Full(source));
}

TEST_F(CopyPassTest, AnyDifferenceOfModificationTimeCopiesAndNothingElseDoes) {
    WriteTree(src, {{"older", File("new", kTime, 500)},
                    {"newer", File("old", kTime)},
                    {"same", File("source side")},
                    {"nanos", File("n", kTime, 2 * kTimeStep)}});
    WriteTree(dst, {{"older", File("previous", kTime, 499)},
                    {"newer", File("newer target", kTime + 100)},
                    {"same", File("target side, same time")},
                    {"nanos", File("n", kTime, kTimeStep)}});

    EXPECT_EQ(RunPair(src, dst),
              Block(src, dst, {}, {src + "/nanos", src + "/newer", src + "/older"}));
    EXPECT_EQ(ReadTree(dst), (Tree{{"older", File("new", kTime, 500)},
                                   {"newer", File("old", kTime)},
                                   {"same", File("target side, same time")},
                                   {"nanos", File("n", kTime, 2 * kTimeStep)}}));
}

// The target folder is said to be missing once, in the report and to the window,
// however many entries fail for it.
TEST_F(CopyPassTest, MissingTargetRootFailsEveryFileAndCreatesNothing) {
    WriteTree(src, {{"a", File("a")}, {"sub/b", File("b")}});
    const std::string missing = temp.sub("nowhere/dst", false);
    ReasonRecorder window({{src, missing, 2, {}}});
    RunToEnd(window);
    EXPECT_EQ(window.report(),
              Block(src, missing, {src + "/a", src + "/sub/b", "目標目錄不存在"}, {}));
    EXPECT_EQ(window.reasons, (Reasons{{missing, EntryFailure::Step::OpenTarget, ENOENT}}));
    EXPECT_EQ(ReadTree(temp.path()).count("nowhere"), 0u);

    const std::string empty = temp.sub("empty");
    EXPECT_EQ(RunPair(empty, missing), Block(empty, missing, {"目標目錄不存在"}, {}));
}

// A disk that fills up while "big" is copied.
class FullDisk : public NativeFileSystem {
public:
    CopyOutcome copy(FolderHandle from, FolderHandle to, const char* name, EntryKind kind,
                     const std::atomic<bool>& stop) override {
        if (std::string(name) == "big") {
            errno = ENOSPC;
            return CopyOutcome::WriteFailed;
        }
        return NativeFileSystem::copy(from, to, name, kind, stop);
    }
    int createFolder(FolderHandle parent, const char* name) override {
        return std::string(name) == "blocked" ? ENOSPC
                                              : NativeFileSystem::createFolder(parent, name);
    }
};

// Every failed entry comes with its reason; a sub-folder that cannot be made is
// listed, and the entries beneath it are listed without repeating the reason.
TEST_F(CopyPassTest, FailuresSayWhyAndFoldersThatCannotBeMadeAreListed) {
    Tree source = {{"a", File("a")},
                   {"big", File("b")},
                   {"blocked/inner", File("i")},
                   {"ro", File("new", kTime + 1)}};
    std::vector<std::string> failed = {src + "/big", src + "/blocked", src + "/blocked/inner",
                                       src + "/ro"};
    Reasons reasons = {{Native(src + "/big"), EntryFailure::Step::Copy, ENOSPC},
                       {Native(src + "/blocked"), EntryFailure::Step::CreateFolder, ENOSPC},
                       {Native(src + "/ro"), EntryFailure::Step::Copy, kReasonReadOnlyCopy}};
    WriteTree(src, source);
    WriteTree(dst, {{"ro", File("old", kTime, 0, 0444)}});
    ReasonRecorder window({{src, dst, 2, {}}});
    FullDisk fs;
    RunToEnd(window, &fs);
    EXPECT_EQ(window.report(), Block(src, dst, failed, {src + "/a"}));
    EXPECT_EQ(window.reasons, reasons);
}

// A read-only copy is never replaced, even though the engine runs as root in CI.
TEST_F(CopyPassTest, ReadOnlySourceGivesReadOnlyCopyThatLaterCopiesCannotReplace) {
    WriteTree(src, {{"ro", File("v1", kTime, 0, 0444)}});
    EXPECT_EQ(RunPair(src, dst), Block(src, dst, {}, {src + "/ro"}));
    EXPECT_EQ(ReadTree(dst), (Tree{{"ro", File("v1", kTime, 0, 0444)}}));

    // A failure that recurs by design does not hold the delete option back.
    WriteTree(src, {{"ro", File("v2", kTime + 1, 0, 0444)}});
    WriteTree(dst, {{"stale", File("s")}});
    EXPECT_EQ(RunPair(src, dst, true), Block(src, dst, {src + "/ro"}, {}));
    EXPECT_EQ(ReadTree(dst), (Tree{{"ro", File("v1", kTime, 0, 0444)}}));
}

// Details of a source entry that cannot be read are a failure, never "gone".
class SourceDetailsFail : public NativeFileSystem {
public:
    explicit SourceDetailsFail(std::string source) : source_(std::move(source)) {}
    LookUpResult lookUp(FolderHandle folder, const char* name) override {
        if (IsFolder(*this, folder, source_)) {
            LookUpResult result;
            result.error = EACCES;
            return result;
        }
        return NativeFileSystem::lookUp(folder, name);
    }

private:
    std::string source_;
};

TEST_F(CopyPassTest, SourceDetailsThatCannotBeReadAreListedAsFailed) {
    WriteTree(src, {{"changed", File("new", kTime + 1)}});
    WriteTree(dst, {{"changed", File("old")}});
    SourceDetailsFail fs(src);
    EXPECT_EQ(RunPair(src, dst, false, &fs), Block(src, dst, {src + "/changed"}, {}));
}

class NoRoomForFolders : public NativeFileSystem {
public:
    int createFolder(FolderHandle, const char*) override { return ENOSPC; }
};

// The target's file system reports a write error as the pair's copies are made durable.
class LateWriteError : public NativeFileSystem {
public:
    int makeDurable(FolderHandle) override { return EIO; }
};

TEST_F(CopyPassTest, AFolderThatCannotBeCreatedOrALateWriteErrorHoldsDeletionsBack) {
    WriteTree(src, {{"new/f", File("ff")}}); // not the old folder renamed, which would move
    WriteTree(dst, {{"old/f", File("f")}});
    NoRoomForFolders fs;
    EXPECT_NE(RunPair(src, dst, true, &fs).find("\r\n目標目錄寫入失敗，已跳過刪除\r\n"),
              std::string::npos);
    EXPECT_EQ(ReadTree(dst), Full({{"old/f", File("f")}}));

    // The copies cannot be known to be on disk: they are listed as failed, once with why.
    ReasonRecorder window({{src, dst, 2, {}}}, true);
    LateWriteError late;
    RunToEnd(window, &late);
    EXPECT_EQ(window.report(),
              Block(src, dst,
                    {src + "/new/f", "目標所在的文件系統報告寫入錯誤，以上文件可能沒有寫入磁盤"},
                    {}, "目標目錄寫入失敗，已跳過刪除"));
    EXPECT_EQ(window.reasons, (Reasons{{Native(dst), EntryFailure::Step::MakeDurable, EIO}}));
    EXPECT_EQ(ReadTree(dst), Full({{"old/f", File("f")}, {"new/f", File("ff")}}));
}

} // namespace
} // namespace kestrova::test
