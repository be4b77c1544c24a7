// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "RunHelpers.h"

#include <cerrno>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/mount.h>
#endif

namespace kestrova::test {
namespace {

constexpr const char* kNotAbsolute = "源目錄或目標目錄不是完整路徑，已跳過";

constexpr const char* kNested = "源目錄和目標目錄相同或互相包含，已跳過";

constexpr const char* kSourceUnreadable = "源目錄不存在或無法讀取，已跳過";

// A port through which a pair can be checked and nothing more: its roots opened and
// identified. Anything else fails the test and is refused, so that a broken guard
// can neither read nor change a folder, whichever folder a test names.
class PairCheckOnly : public NativeFileSystem {
public:
    int openFolder(FolderHandle, const char* name, FolderHandle& folder) override {
        folder = kNoFolder;
        return refused("open", name);
    }
    int enumerate(FolderHandle, FolderListing&) override { return refused("list", ""); }
    LookUpResult lookUp(FolderHandle, const char* name) override {
        LookUpResult result;
        result.error = refused("look up", name);
        return result;
    }
    CopyOutcome copy(FolderHandle, FolderHandle, const char* name, EntryKind,
                     const std::atomic<bool>&) override {
        refused("copy", name);
        return CopyOutcome::Failed;
    }
    int createFolder(FolderHandle, const char* name) override { return refused("make", name); }
    int copyAttributes(FolderHandle, FolderHandle) override {
        return refused("copy attributes", "");
    }
    std::int64_t timeStep(FolderHandle) override { return refused("probe", ""); }
    int deleteFile(FolderHandle, const char* name) override { return refused("delete", name); }
    int removeFolder(FolderHandle, const char* name) override { return refused("remove", name); }
    int renameEntry(FolderHandle, const char* from, const char*) override {
        return refused("rename", from);
    }
    int setPermissions(FolderHandle, unsigned) override { return refused("set permissions", ""); }
    int lockFolder(FolderHandle) override { return refused("lock", ""); }

private:
    static int refused(const char* what, const char* name) {
        ADD_FAILURE() << "a skipped pair tried to " << what << " " << name;
        return EACCES;
    }
};

// Sentinels beside, inside and above both folders: whatever a skipped pair does,
// they must all be there afterwards, unchanged.
class SafetyTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteTree(temp.path(), sentinels);
        src = temp.sub("data/src", false);
        dst = temp.sub("data/dst", false);
    }
    void expectUntouched() {
        Tree expected = Full(sentinels);
        if (!link.empty()) {
            expected["alias"] = Link(link);
        }
        EXPECT_EQ(ReadTree(temp.path()), expected);
    }

    void expectSkipped(const std::string& source, const std::string& target, const char* reason) {
        TestWindow window({{source, target, 2, {}}}, true);
        PairCheckOnly fs;
        RunToEnd(window, &fs);
        EXPECT_EQ(window.report(), SkippedBlock(source, target, reason));
        EXPECT_EQ(window.rowStatus(0), "跳過");
        expectUntouched();
    }

    TempFolder temp;
    const Tree sentinels = {{"outside", File("o")},    {"data/beside", File("b")},
                            {"data/src/s", File("s")}, {"data/src/inner/s", File("s")},
                            {"data/dst/t", File("t")}, {"data/dst/inner/t", File("t")}};
    std::string src;
    std::string dst;
    std::string link; // text of the link "alias" when a test makes one
};

TEST_F(SafetyTest, SameOrNestedFoldersAreSkipped) {
    expectSkipped(src, src, kNested);
    expectSkipped(src, Native(src + "/"), kNested);
    expectSkipped(src, Native(src + "/inner"), kNested);
    expectSkipped(src, Native(src + "/not-yet/made"), kNested);
    expectSkipped(Native(src + "/inner"), src, kNested);
    // The top of the file system holds everything (checked through a port that lets a
    // pair be checked and nothing more).
#ifdef _WIN32
    const std::string top = temp.path().substr(0, 3); // the drive's root, "C:\"
#else
    const std::string top = "/";
#endif
    expectSkipped(top, dst, kNested);
    expectSkipped(src, top, kNested);
}

TEST_F(SafetyTest, SiblingsWhoseNamesShareAPrefixRunNormally) {
    const std::string src2 = temp.sub("data/src2");
    WriteTree(src2, {{"f", File("f")}});
    EXPECT_EQ(RunPair(src, src2, true), Block(src, src2, {}, {src + "/inner/s", src + "/s"}));
    EXPECT_EQ(ReadTree(src2), Full({{"s", File("s")}, {"inner/s", File("s")}}));
}

TEST_F(SafetyTest, MissingSourceSkipsThePairAndLeavesTheTargetAlone) {
    expectSkipped(temp.sub("data/missing", false), dst, kSourceUnreadable);
    expectSkipped(temp.sub("data/beside", false), dst, kSourceUnreadable);
}

TEST_F(SafetyTest, TrailingSeparatorsMapInsideTheFolders) {
    const std::string target = Native(dst + "/");
    TestWindow window({{Native(src + "/"), target, 2, {}}}, true);
    RunToEnd(window);
    EXPECT_EQ(window.report(), Block(src + "/", target, {}, {src + "/inner/s", src + "/s"}));
    EXPECT_EQ(ReadTree(dst), Full({{"s", File("s")}, {"inner/s", File("s")}}));
    EXPECT_EQ(ReadTree(src), Full({{"s", File("s")}, {"inner/s", File("s")}}));
}

// Shows the folder at `path` as the folder `as` (when given), on another mount unless
// `sameMount`, as where mount ids are unknown and a bind mount keeps the device.
class Disguised : public NativeFileSystem {
public:
    Disguised(std::string path, std::string as, bool sameMount = false)
        : path_(std::move(path)), as_(std::move(as)), sameMount_(sameMount) {}
    int identify(FolderHandle folder, FolderIdentity& identity) override {
        const int error = NativeFileSystem::identify(folder, identity);
        if (error == 0 && IsFolder(*this, folder, path_)) {
            identity.mount += sameMount_ ? 0 : 1;
            NativeFileSystem probe;
            FolderHandle other = kNoFolder;
            FolderIdentity shown;
            if (!as_.empty() && probe.openRoot(as_, other) == 0) {
                if (probe.identify(other, shown) == 0) {
                    identity.device = shown.device;
                    identity.inode = shown.inode;
                }
                probe.closeFolder(other);
            }
        }
        return error;
    }

private:
    std::string path_;
    std::string as_;
    bool sameMount_;
};

TEST_F(SafetyTest, PruneLeavesOtherMountsAndTheSourceAloneAndListsThem) {
    const std::pair<std::string, bool> shownAs[] = {{"", false}, {src, false}, {src, true}};
    for (const auto& [as, sameMount] : shownAs) {
        for (const std::string name : {"x", "inner"}) { // without and with a counterpart
            WriteTree(dst, {{name + "/p1", File("p")}});
            Disguised fs(Native(dst + "/" + name), as, sameMount);
            const std::string report = RunPair(src, dst, true, &fs);
            EXPECT_NE(report.find("\r\n" + Native(dst + "/" + name) + "\r\n"), std::string::npos)
                << report;
            EXPECT_EQ(ReadTree(Native(dst + "/" + name)).count("p1"), 1u)
                << name << " as " << as << (sameMount ? " on the same mount" : "");
        }
    }
    EXPECT_EQ(ReadTree(src), Full({{"s", File("s")}, {"inner/s", File("s")}}));
}

TEST_F(SafetyTest, CopyNeverWalksIntoTheTargetShownInsideTheSource) {
    Disguised fs(Native(src + "/inner"), dst);
    EXPECT_EQ(RunPair(src, dst, false, &fs), Block(src, dst, {src + "/inner"}, {src + "/s"}));
    EXPECT_EQ(ReadTree(dst).count("inner/s"), 0u);
}

#ifndef _WIN32
// Roots and mounts as only Linux has them.
class PosixSafetyTest : public SafetyTest {};

TEST_F(PosixSafetyTest, EmptyRelativeDottedOrCutRootsAreSkipped) {
    expectSkipped("", dst, kNotAbsolute);
    expectSkipped(src, "", kNotAbsolute);
    expectSkipped("data/src", dst, kNotAbsolute);
    expectSkipped(src, "dst", kNotAbsolute);
    // "missing/.." reads as the parent but names no folder that exists.
    expectSkipped(src, temp.path() + "/data/missing/..", kNotAbsolute);
    expectSkipped(src + "/.", dst, kNotAbsolute);
    expectSkipped(src, dst + std::string("\0/x", 3), kNotAbsolute);
}

TEST_F(PosixSafetyTest, NestingThroughLinksIsSeen) {
    link = src;
    WriteTree(temp.path(), {{"alias", Link(link)}});
    expectSkipped(temp.path() + "/alias", src + "/inner", kNested);
    expectSkipped(src, temp.path() + "/alias/new", kNested);
}

// Unmounts on leaving a test, before its temporary folder is removed.
struct BindMounts {
    std::vector<std::string> points;
    bool add(const std::string& from, const std::string& at) {
        ::mkdir(at.c_str(), 0755);
        if (::mount(from.c_str(), at.c_str(), nullptr, MS_BIND, nullptr) != 0) {
            return false;
        }
        points.push_back(at);
        return true;
    }
    ~BindMounts() {
        for (auto at = points.rbegin(); at != points.rend(); ++at) {
            ::umount2(at->c_str(), MNT_DETACH);
        }
    }
};

TEST_F(PosixSafetyTest, BindMountsNeverLeadARunIntoTheOtherTree) {
    BindMounts mounts;
    const std::string alias = temp.path() + "/alias";
    if (!mounts.add(src + "/inner", dst + "/x") || !mounts.add(dst + "/inner", src + "/m") ||
        !mounts.add(src + "/inner", alias)) {
        GTEST_SKIP() << "bind mounts need root";
    }
    WriteTree(src, {{"x/s", File("not for inner", kTime + 1)}});
    const std::string report = RunPair(src, dst, true);
    EXPECT_NE(report.find("使用\r\n" + src + "/m\r\n" + src + "/x\r\n" + dst + "/x\r\n"),
              std::string::npos)
        << report;
    EXPECT_EQ(ReadTree(src + "/inner"), (Tree{{"s", File("s")}}));
    EXPECT_EQ(ReadTree(dst + "/inner"), (Tree{{"s", File("s")}}));
    TestWindow window({{src, alias, 2, {}}, {alias, src, 2, {}}}, true);
    RunToEnd(window);
    EXPECT_EQ(window.report(),
              SkippedBlock(src, alias, kNested) + SkippedBlock(alias, src, kNested));
}
#endif

} // namespace
} // namespace kestrova::test
