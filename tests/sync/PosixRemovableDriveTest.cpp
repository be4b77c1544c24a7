// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "RunHelpers.h"
#include "fs/FolderListing.h"
#include "fs/TargetNames.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

TEST(TargetNamesTest, FoldingAndWindowsNames) {
    EXPECT_EQ(FoldCase("Photo.jpg"), FoldCase("PHOTO.JPG"));
    EXPECT_EQ(FoldCase("été ÿ ł ё σς"), "ÉTÉ Ÿ Ł Ё ΣΣ");
    EXPECT_EQ(FoldCase("÷×ß"), "÷×ß"); // signs, and letters without a one-letter upper case
    EXPECT_EQ(FoldCase("a\xff\xc3z"), "A\xff\xc3Z"); // bytes that are not UTF-8 stay
    EXPECT_TRUE(StorableOnWindows("a.b c"));
    for (const char* name :
         {"a:b", "a?", "*", "\"", "<", ">", "|", "a\\b", "x\ty", "dot.", "sp "}) {
        EXPECT_FALSE(StorableOnWindows(name)) << name;
    }
}

// A target that matches names regardless of case, as FAT and exFAT drives do, over a
// folder that does not; a folder cannot be renamed there (FAT through FUSE refuses
// renaming a folder to another letter case). The source keeps matching case.
class CaseBlindTarget : public PosixFileSystem {
public:
    explicit CaseBlindTarget(const std::string& target) {
        char real[4096] = {};
        target_ = ::realpath(target.c_str(), real) != nullptr ? real : target;
    }

    int openFolder(FolderHandle parent, const char* name, FolderHandle& folder) override {
        const int error = PosixFileSystem::openFolder(parent, name, folder);
        return error == ENOENT
                   ? PosixFileSystem::openFolder(parent, held(parent, name).c_str(), folder)
                   : error;
    }
    LookUpResult lookUp(FolderHandle folder, const char* name) override {
        const LookUpResult result = PosixFileSystem::lookUp(folder, name);
        return result.error == ENOENT ? PosixFileSystem::lookUp(folder, held(folder, name).c_str())
                                      : result;
    }
    int renameEntry(FolderHandle folder, const char* from, const char* to) override {
        return PosixFileSystem::lookUp(folder, from).kind == EntryKind::Folder
                   ? EPERM
                   : PosixFileSystem::renameEntry(folder, from, to);
    }

private:
    std::string held(FolderHandle folder, const char* name) {
        char path[4096] = {};
        const std::string link = "/proc/self/fd/" + std::to_string(folder);
        if (::readlink(link.c_str(), path, sizeof path - 1) < 0 ||
            std::string(path).rfind(target_, 0) != 0) {
            return name;
        }
        // Found name by name, apart from the matching the engine does itself.
        FolderListing listing;
        enumerate(folder, listing);
        for (std::size_t i = 0; i < listing.size(); ++i) {
            if (FoldCase(listing.nameView(i)) == FoldCase(name)) {
                return std::string(listing.nameView(i));
            }
        }
        return name;
    }
    std::string target_;
};

// The name the target holds keeps its copy; a target entry that differs from its
// source only in case is renamed to it, or listed when it cannot be; either way the
// delete option keeps it and what it holds. A later run adds and removes as usual.
TEST(CaseBlindTargetTest, HeldNameKeepsItsCopyAndCaseOnlyDifferencesAreNeverDeleted) {
    TempFolder temp;
    const std::string src = temp.sub("src");
    const std::string dst = temp.sub("dst");
    WriteTree(dst, {{"notes.txt", File("old")}, {"Music/song", File("s")}, {"readme", File("r")}});
    WriteTree(src, {{"NOTES.txt", File("new", kTime + 5)},
                    {"notes.txt", File("old")},
                    {"music/song", File("s")},
                    {"README", File("r")}});
    CaseBlindTarget fs(dst);
    ReasonRecorder window({{src, dst, 2, {}}}, true);
    RunToEnd(window, &fs);
    EXPECT_EQ(window.report(), Block(src, dst, {src + "/NOTES.txt", src + "/music"}, {}));
    EXPECT_EQ(window.reasons,
              (Reasons{{src + "/NOTES.txt", EntryFailure::Step::Copy, kReasonCaseCollision},
                       {src + "/music", EntryFailure::Step::MatchCase, EPERM}}));
    EXPECT_EQ(ReadTree(dst),
              Full({{"notes.txt", File("old")}, {"Music/song", File("s")}, {"README", File("r")}}));

    std::remove((src + "/README").c_str());
    WriteTree(src, {{"added", File("a")}});
    ReasonRecorder next({{src, dst, 2, {}}}, true);
    RunToEnd(next, &fs);
    EXPECT_EQ(next.report(),
              Block(src, dst, {src + "/NOTES.txt", src + "/music"}, {src + "/added"}));
    EXPECT_EQ(next.reasons, window.reasons);
    EXPECT_EQ(ReadTree(dst),
              Full({{"notes.txt", File("old")}, {"Music/song", File("s")}, {"added", File("a")}}));
}

// A USB drive's file system through its FUSE driver, on an image made for the test.
struct Drive {
    const char* name;
    const char* make;  // makes the file system in the image $IMAGE
    const char* mount; // mounts $IMAGE on $POINT
    std::int64_t step; // the time step it keeps
    bool caseInsensitive;
    bool pipes; // it holds pipes
};

std::ostream& operator<<(std::ostream& out, const Drive& drive) {
    return out << drive.name;
}

const Drive kDrives[] = {
    {"FAT", "mkfs.vfat -F 32 \"$IMAGE\"", "fusefat -o rw+ \"$IMAGE\" \"$POINT\"",
     2 * kNanosecondsPerSecond, true, false},
    // The driver wants a block device: a loop device, freed once it is unmounted.
    {"exFAT", "mkfs.exfat \"$IMAGE\"",
     "LOOP=$(losetup -f --show \"$IMAGE\") && { mount.exfat-fuse \"$LOOP\" \"$POINT\"; "
     "s=$?; losetup -d \"$LOOP\"; exit $s; }",
     kNanosecondsPerSecond, true, false},
    {"NTFS", "mkntfs -F -Q \"$IMAGE\"", "ntfs-3g -o windows_names \"$IMAGE\" \"$POINT\"", 100,
     false, true},
};

// Mounts the drive where this process may (as root in CI, with the drivers that
// tools/install-deps installs), and skips elsewhere. Every command is bounded in
// time, and the drive is unmounted whatever the test's outcome.
class RemovableDriveTest : public ::testing::TestWithParam<Drive> {
protected:
    void SetUp() override {
        const std::string image = temp.path() + "/image";
        ::setenv("IMAGE", image.c_str(), 1);
        ::setenv("POINT", point.c_str(), 1);
        const std::string make =
            std::string("PATH=$PATH:/usr/sbin:/sbin; truncate -s 64M \"$IMAGE\"") +
            " && timeout 60 " + "sh -c '" + GetParam().make +
            "' >/dev/null 2>&1 && timeout 20 sh -c '" + GetParam().mount + "' >/dev/null 2>&1";
        ASSERT_NO_FATAL_FAILURE(MountImage(make, mounted));
        if (!mounted) {
            GTEST_SKIP() << "cannot mount " << GetParam().name << " here";
        }
        dst = point + "/dst";
        ::mkdir(dst.c_str(), 0755);
    }
    void TearDown() override {
        if (mounted) {
            std::system(
                ("timeout 20 umount " + point + " || timeout 20 umount -l " + point).c_str());
        }
    }

    // What the target keeps of `tree`: contents, and times cut to its step.
    Tree Kept(Tree tree) const {
        const std::int64_t step = GetParam().step;
        for (auto& [path, item] : tree) {
            item.mode = 0;
            if (step >= kNanosecondsPerSecond) {
                item.seconds -= item.seconds % (step / kNanosecondsPerSecond);
                item.nanoseconds = 0;
            } else {
                item.nanoseconds -= item.nanoseconds % step;
            }
        }
        return tree;
    }
    static Tree WithoutModes(Tree tree) {
        for (auto& entry : tree) {
            entry.second.mode = 0;
        }
        return tree;
    }

    TempFolder temp;
    std::string src = temp.sub("src");
    std::string point = temp.sub("mnt");
    std::string dst;
    bool mounted = false;
};

TEST_P(RemovableDriveTest, MirrorHasNoFailuresAndTheNextRunCopiesNothing) {
    const Tree source = {{"a", File("a", kTime, 123'456'789)},
                         {"ro", File("r", kTime + 1, 5, 0444)},
                         {"sub/deep/b", File("b", kTime + 3, 999'999'999, 0600)}};
    WriteTree(src, source);
    WriteTree(src, {{"pipe", Pipe()}});
    PosixFileSystem fs;
    FolderHandle folder = kNoFolder;
    ASSERT_EQ(fs.openRoot(dst, folder), 0);
    EXPECT_EQ(fs.timeStep(folder), GetParam().step);
    fs.closeFolder(folder);

    // A pipe is mirrored where the drive holds pipes, else listed apart on every run.
    std::vector<std::string> copied = {src + "/a", src + "/ro", src + "/sub/deep/b"};
    std::vector<std::string> left = {src + "/pipe"};
    Tree kept = Full(source);
    if (GetParam().pipes) {
        copied.insert(copied.begin() + 1, src + "/pipe");
        left.clear();
        kept["pipe"] = Pipe();
    }
    EXPECT_EQ(RunPair(src, dst, true), Block(src, dst, {}, copied, {}, left));
    EXPECT_EQ(WithoutModes(ReadTree(dst)), Kept(kept));
    EXPECT_EQ(RunPair(src, dst, true), Block(src, dst, {}, {}, {}, left));
}

TEST_P(RemovableDriveTest, NamesItCannotTellApartOrStoreAreListedAndNothingIsMerged) {
    WriteTree(src, {{"Docs/x", File("x")},
                    {"Photo.JPG", File("p1")},
                    {"a?b", File("q")},
                    {"docs/y", File("y")},
                    {"photo.jpg", File("p2")},
                    {"trail.", File("t")}});
    ReasonRecorder window({{src, dst, 2, {}}}, true);
    RunToEnd(window);
    const auto listed = [this](const char* name, EntryFailure::Step step, int reason) {
        return std::make_tuple(src + "/" + name, step, reason);
    };
    const std::vector<std::string> copied = {src + "/Docs/x", src + "/Photo.JPG"};
    if (GetParam().caseInsensitive) {
        EXPECT_EQ(window.report(),
                  Block(src, dst,
                        {src + "/a?b", src + "/docs", src + "/photo.jpg", src + "/trail."},
                        copied));
        EXPECT_EQ(window.reasons,
                  (Reasons{listed("a?b", EntryFailure::Step::Copy, kReasonNameNotStorable),
                           listed("docs", EntryFailure::Step::CreateFolder, kReasonCaseCollision),
                           listed("photo.jpg", EntryFailure::Step::Copy, kReasonCaseCollision),
                           listed("trail.", EntryFailure::Step::Copy, kReasonNameNotStorable)}));
        EXPECT_EQ(WithoutModes(ReadTree(dst)),
                  Kept(Full({{"Docs/x", File("x")}, {"Photo.JPG", File("p1")}})));
    } else {
        EXPECT_EQ(window.report(), Block(src, dst, {src + "/a?b", src + "/trail."},
                                         {src + "/Docs/x", src + "/Photo.JPG", src + "/docs/y",
                                          src + "/photo.jpg"}));
    }

    // A name whose case changes in the source takes the new case in the target.
    std::rename((src + "/Photo.JPG").c_str(), (src + "/PHOTO.JPG").c_str());
    std::remove((src + "/photo.jpg").c_str());
    std::remove((src + "/docs/y").c_str());
    std::remove((src + "/docs").c_str());
    RunPair(src, dst, true);
    EXPECT_EQ(WithoutModes(ReadTree(dst)),
              Kept(Full({{"Docs/x", File("x")}, {"PHOTO.JPG", File("p1")}})));
    EXPECT_EQ(RunPair(src, dst, true), Block(src, dst, {src + "/a?b", src + "/trail."}, {}));
}

// The trash of a drive lies at its top, with paths relative to it; a drive without
// hard links has what a copy replaces moved there.
TEST_P(RemovableDriveTest, TrashLivesAtTheTopOfTheDrive) {
    const std::string first = temp.sub("first");
    WriteTree(first, {{"a", File("old")}, {"gone", File("g")}});
    RunPair(first, dst);
    WriteTree(src, {{"a", File("new", kTime + 10)}});
    TestWindow window({{src, dst, 2, {}}}, true);
    RunOptions options;
    options.trash = true;
    window.setRunOptions(options);
    RunToEnd(window);
    EXPECT_EQ(window.report(), Block(src, dst, {}, {src + "/a"}));
    const std::string trash = point + "/.Trash-" + std::to_string(::getuid());
    EXPECT_EQ(WithoutModes(ReadTree(trash + "/files")),
              Kept({{"a", File("old")}, {"gone", File("g")}}));
    std::FILE* info = std::fopen((trash + "/info/a.trashinfo").c_str(), "r");
    ASSERT_NE(info, nullptr);
    char text[256] = {};
    std::fread(text, 1, sizeof text - 1, info);
    std::fclose(info);
    EXPECT_EQ(std::string(text).find("[Trash Info]\nPath=dst/a\nDeletionDate="), 0u) << text;
}

INSTANTIATE_TEST_SUITE_P(Drives, RemovableDriveTest, ::testing::ValuesIn(kDrives),
                         [](const auto& drive) { return std::string(drive.param.name); });

} // namespace
} // namespace kestrova::test
