// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "settings/PairListFile.h"

#include "SettingsTestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>

namespace kestrova {
namespace {

using settings_test::Pairs;
using settings_test::PairVector;
using settings_test::ReadBytes;
using settings_test::TempFolder;
using settings_test::WriteBytes;

enum class Step { MakeFolders, Create, Write, Sync, Close, Rename };

// The real file system, except that one step of a save fails.
class FaultyFileSystem : public SaveFileSystem {
public:
    explicit FaultyFileSystem(Step failing) : failing_(failing) {}

    int makeFolders(const std::string& folder) override {
        return failing_ == Step::MakeFolders ? EACCES : SaveFileSystem::makeFolders(folder);
    }
    int createNew(const std::string& path, mode_t mode) override {
        return failing_ == Step::Create ? -EACCES : SaveFileSystem::createNew(path, mode);
    }
    // Writes part of the data, then finds the disk full.
    long write(int fd, const char* data, std::size_t size) override {
        if (failing_ != Step::Write) {
            return SaveFileSystem::write(fd, data, size);
        }
        if (wroteSome_) {
            return -ENOSPC;
        }
        wroteSome_ = true;
        return SaveFileSystem::write(fd, data, size / 2);
    }
    int sync(int fd) override { return failing_ == Step::Sync ? ENOSPC : SaveFileSystem::sync(fd); }
    int close(int fd) override {
        const int rc = SaveFileSystem::close(fd);
        return failing_ == Step::Close ? EIO : rc;
    }
    int rename(const std::string& from, const std::string& to) override {
        return failing_ == Step::Rename ? EXDEV : SaveFileSystem::rename(from, to);
    }

private:
    Step failing_;
    bool wroteSome_ = false;
};

class FailedSave : public testing::TestWithParam<std::pair<Step, SaveStatus>> {};

TEST_P(FailedSave, KeepsTheOldFileAndLeavesNothingBehind) {
    const auto [step, expected] = GetParam();
    TempFolder folder;
    const std::string file = folder.file("dirlist.cfg");
    const std::string old = "/old|/pair\r\n/second|/pair\r\n";
    WriteBytes(file, old);
    const PairVector list(Pairs{{"/new/source/" + std::string(5000, 'n'), "/new/target"}});

    FaultyFileSystem fs(step);
    const SaveResult result = SavePairList(list, file, fs);
    EXPECT_EQ(result.status, expected);
    EXPECT_EQ(result.path, file);
    EXPECT_EQ(ReadBytes(file), old);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"dirlist.cfg"});
}

INSTANTIATE_TEST_SUITE_P(EachStep, FailedSave,
                         testing::Values(std::pair(Step::MakeFolders, SaveStatus::CannotWrite),
                                         std::pair(Step::Create, SaveStatus::CannotWrite),
                                         std::pair(Step::Write, SaveStatus::DiskFull),
                                         std::pair(Step::Sync, SaveStatus::DiskFull),
                                         std::pair(Step::Close, SaveStatus::DiskFull),
                                         std::pair(Step::Rename, SaveStatus::CannotWrite)));

// Writes one byte per call and is interrupted now and then: a save still
// completes with the exact contents.
class ShortWritingFileSystem : public SaveFileSystem {
public:
    long write(int fd, const char* data, std::size_t size) override {
        return ++writes_ % 5 == 0 ? -EINTR : SaveFileSystem::write(fd, data, size > 0 ? 1 : 0);
    }

private:
    int writes_ = 0;
};

#ifndef _WIN32
TEST(Save, ReadOnlyOrUnreadableFileIsLeftAlone) {
    for (const mode_t mode : {mode_t{0444}, mode_t{0200}}) {
        TempFolder folder;
        const std::string file = folder.file("dirlist.cfg");
        WriteBytes(file, "/kept|/pair\r\n");
        ASSERT_EQ(::chmod(file.c_str(), mode), 0);

        SaveFileSystem fs;
        const SaveResult result = SavePairList(PairVector(Pairs{{"/a", "/b"}}), file, fs);
        EXPECT_EQ(result.status, SaveStatus::CannotWrite) << std::oct << mode;
        ::chmod(file.c_str(), 0644);
        EXPECT_EQ(ReadBytes(file), "/kept|/pair\r\n");
        EXPECT_EQ(folder.entries(), std::vector<std::string>{"dirlist.cfg"});
    }
}
#endif

TEST(Save, ShortAndInterruptedWritesComplete) {
    TempFolder folder;
    const std::string file = folder.file("dirlist.cfg");
    ShortWritingFileSystem fs;
    ASSERT_TRUE(SavePairList(PairVector(Pairs{{"/a", "/b"}, {"/c", "/d"}}), file, fs).ok());
    EXPECT_EQ(ReadBytes(file), "/a|/b\r\n/c|/d\r\n");
}

TEST(Save, FailureMessagesNameTheFile) {
    EXPECT_EQ(SaveFailureMessage({SaveStatus::DiskFull, "/home/me/.config/kestrova/dirlist.cfg"}),
              "在存取 /home/me/.config/kestrova/dirlist.cfg 时磁盘已满。");
    EXPECT_EQ(SaveFailureMessage({SaveStatus::CannotWrite, "/x/%1 %s %n/dirlist.cfg"}),
              "無法寫入 /x/%1 %s %n/dirlist.cfg。");
    EXPECT_EQ(SaveFailureMessage({SaveStatus::Saved, "/x"}), "");
}

} // namespace
} // namespace kestrova
