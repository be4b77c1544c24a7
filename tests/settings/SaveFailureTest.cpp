#include "settings/PairListFile.h"
#include "settings/Settings.h"

#include "SettingsTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace kestrova {
namespace {

using test::Pairs;
using test::PairVector;
using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

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

TEST(FailedSave, OptionFileIsKeptToo) {
    TempFolder folder;
    const std::string ini = folder.file("Kestrova.ini");
    WriteBytes(ini, "[setup]\r\nopt_delnone=1\r\n[other]\r\nk=v\r\n");
    FaultyFileSystem fs(Step::Write);
    EXPECT_EQ(WriteOption(0, ini, fs).status, SaveStatus::DiskFull);
    EXPECT_EQ(ReadBytes(ini), "[setup]\r\nopt_delnone=1\r\n[other]\r\nk=v\r\n");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"Kestrova.ini"});
}

// Writes one byte per call, is interrupted now and then, and finds the first
// temporary names taken: a save still completes with the exact contents.
class AwkwardFileSystem : public SaveFileSystem {
public:
    int createNew(const std::string& path, mode_t mode) override {
        return ++creates_ <= 3 ? -EEXIST : SaveFileSystem::createNew(path, mode);
    }
    long write(int fd, const char* data, std::size_t size) override {
        if (++writes_ % 5 == 0) {
            return -EINTR;
        }
        return SaveFileSystem::write(fd, data, size > 0 ? 1 : 0);
    }

private:
    int creates_ = 0;
    int writes_ = 0;
};

TEST(Save, ShortAndInterruptedWritesComplete) {
    TempFolder folder;
    const std::string file = folder.file("dirlist.cfg");
    AwkwardFileSystem fs;
    ASSERT_TRUE(SavePairList(PairVector(Pairs{{"/a", "/b"}, {"/c", "/d"}}), file, fs).ok());
    EXPECT_EQ(ReadBytes(file), "/a|/b\r\n/c|/d\r\n");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"dirlist.cfg"});
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
