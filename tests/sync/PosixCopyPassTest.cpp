// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "RunHelpers.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <map>
#include <sstream>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <sys/xattr.h>

// Copies as only Linux makes them: permission bits, owners, links, special files,
// hard links, folder times, case-only name variants, holes, extended attributes and
// access lists, size limits.

namespace kestrova::test {
namespace {

class PosixCopyPassTest : public ::testing::Test {
protected:
    TempFolder temp;
    std::string src = temp.sub("src");
    std::string dst = temp.sub("dst");
};

TEST_F(PosixCopyPassTest, FoldersCarryTheSourcePermissionBits) {
    WriteTree(src, {{"private/f", File("f")}, {"shared/g", File("g")}, {"sealed/h", File("h")}});
    WriteTree(dst, {{"shared", Folder()}});
    const auto mode = [](const std::string& path, unsigned set = 0) {
        if (set != 0) {
            ::chmod(path.c_str(), set);
        }
        struct stat st;
        return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777u : 0u;
    };
    mode(src, 0750);
    mode(src + "/private", 0700);
    mode(src + "/shared", 02751);
    mode(src + "/sealed", 0555); // filled all the same, its bits set once it is
    mode(dst + "/shared", 0777);
    RunPair(src, dst);
    EXPECT_EQ(mode(dst), 0750u);
    EXPECT_EQ(mode(dst + "/private"), 0700u);
    EXPECT_EQ(mode(dst + "/shared"), 02751u); // same owner and group: set-group-ID stays
    EXPECT_EQ(mode(dst + "/sealed"), 0555u);
    EXPECT_EQ(ReadTree(dst).count("sealed/h"), 1u);
}

TEST_F(PosixCopyPassTest, LinksAreCopiedAsLinksNeverFollowed) {
    WriteTree(temp.path(), {{"outside/secret", File("do not touch")}});
    WriteTree(src, {{"link", Link("../outside", kTime, 7)},
                    {"dangling", Link("no/such/file", kTime + 1)},
                    {"plain", File("p")}});
    EXPECT_EQ(RunPair(src, dst),
              Block(src, dst, {}, {src + "/dangling", src + "/link", src + "/plain"}));
    EXPECT_EQ(ReadTree(dst), (Tree{{"link", Link("../outside", kTime, 7)},
                                   {"dangling", Link("no/such/file", kTime + 1)},
                                   {"plain", File("p")}}));
    EXPECT_EQ(ReadTree(temp.path() + "/outside"), (Tree{{"secret", File("do not touch")}}));
}

// Every entry below `root` ("." the root itself) as a copy must keep it: kind, mode,
// owner, group, modification time, a device's number, contents or link text, and for
// a file with other names the first of them met; with `changed`, the change time too.
std::map<std::string, std::string> Describe(const std::string& root, bool changed = false) {
    std::map<std::string, std::string> entries;
    std::map<std::pair<dev_t, ino_t>, std::string> firstNames;
    const auto describe = [&](auto& self, int folder, const std::string& name,
                              const std::string& path) -> void {
        struct stat st;
        Check(::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0, "stat " + path);
        std::ostringstream text;
        text << std::oct << st.st_mode << std::dec << ' ' << st.st_uid << ':' << st.st_gid << " @"
             << st.st_mtim.tv_sec << '.' << st.st_mtim.tv_nsec;
        if (changed) {
            text << " changed " << st.st_ctim.tv_sec << '.' << st.st_ctim.tv_nsec;
        }
        if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) {
            text << " device " << st.st_rdev;
        }
        if (S_ISLNK(st.st_mode)) {
            std::string link(static_cast<std::size_t>(st.st_size), '\0');
            ::readlinkat(folder, name.c_str(), link.data(), link.size());
            text << " -> " << link;
        }
        if (S_ISREG(st.st_mode)) {
            const int fd = ::openat(folder, name.c_str(), O_RDONLY | O_CLOEXEC);
            Check(fd >= 0, "read " + path);
            char data[4096];
            const ssize_t got = ::read(fd, data, sizeof data);
            ::close(fd);
            text << " \"" << std::string(data, static_cast<std::size_t>(std::max<ssize_t>(got, 0)))
                 << "\" first named "
                 << firstNames.emplace(std::pair(st.st_dev, st.st_ino), path).first->second;
        }
        entries[path] = text.str();
        if (S_ISDIR(st.st_mode)) {
            const int sub = OpenFolder(folder, name);
            Check(sub >= 0, "open " + path);
            Tree names;
            ReadFolder(sub, "", names);
            for (const auto& [child, item] : names) {
                if (child.find('/') == std::string::npos) {
                    self(self, sub, child, path == "." ? child : path + "/" + child);
                }
            }
            ::close(sub);
        }
    };
    describe(describe, AT_FDCWD, root, ".");
    return entries;
}

// Copies that take a while, so that the walk gets ahead of them.
class SlowCopies : public PosixFileSystem {
public:
    CopyOutcome copy(FolderHandle from, FolderHandle to, const char* name, EntryKind kind,
                     const std::atomic<bool>& stop) override {
        ::usleep(20'000);
        return PosixFileSystem::copy(from, to, name, kind, stop);
    }
};

// A mirror keeps what "cp -a" keeps: owners and groups (where the run may set them),
// set-user-ID and set-group-ID with them, pipes, sockets and device nodes, names that
// share a file, and folder times, set once a folder is complete; a second run changes
// nothing at all.
TEST_F(PosixCopyPassTest, MirrorKeepsOwnersSetIdBitsSpecialFilesHardLinksAndFolderTimes) {
    const auto at = [this](const std::string& path) { return src + "/" + path; };
    WriteTree(src, {{"bin/tool", File("#!", kTime, 0, 0755)},
                    {"pipe", Pipe()},
                    {"shared/doc", File("d")},
                    {"snap/1/big", File("data")},
                    {"snap/2/other", File("o")}});
    ASSERT_EQ(::link(at("snap/1/big").c_str(), at("snap/1/again").c_str()), 0);
    ASSERT_EQ(::link(at("snap/1/big").c_str(), at("snap/2/big").c_str()), 0);
    ASSERT_EQ(::mknod(at("sock").c_str(), S_IFSOCK | 0600, 0), 0);
    std::vector<std::string> updated = {"bin/tool",   "pipe",       "shared/doc",   "snap/1/again",
                                        "snap/1/big", "snap/2/big", "snap/2/other", "sock"};
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(at("bin/tool").c_str(), 0, 4321), 0);
        ASSERT_EQ(::chown(at("shared").c_str(), 1234, 1234), 0);
        ASSERT_EQ(::chown(at("shared/doc").c_str(), 1234, 5678), 0);
        if (::mknod(at("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
            updated.push_back("null");
        }
    }
    ASSERT_EQ(::chmod(at("bin/tool").c_str(), 04755), 0); // after the owner, which clears it
    ASSERT_EQ(::chmod(at("shared").c_str(), 02770), 0);
    const char* const folders[] = {"bin", "shared", "snap/1", "snap/2", "snap", "."};
    for (std::size_t i = 0; i < std::size(folders); ++i) {
        SetTimes(AT_FDCWD, at(folders[i]), File("", kTime + 100 + static_cast<int>(i), 5));
    }
    std::sort(updated.begin(), updated.end());
    std::transform(updated.begin(), updated.end(), updated.begin(), at);

    SlowCopies slow; // a later name must wait for the copy it shares
    EXPECT_EQ(RunPair(src, dst, false, &slow), Block(src, dst, {}, updated));
    EXPECT_EQ(Describe(dst), Describe(src));
    // The target folder itself is probed by every run, so its change time moves.
    auto before = Describe(dst, true);
    before.erase(".");
    EXPECT_EQ(RunPair(src, dst), Block(src, dst, {}, {}));
    auto after = Describe(dst, true);
    after.erase(".");
    EXPECT_EQ(after, before);

    // A folder written into whose source time stayed gets that time back, after the
    // prune pass too; a name that has a copy of its own (from an older backup) is made
    // a name of the shared copy again.
    WriteTree(src, {{"shared/new", File("n")}});
    ASSERT_EQ(::unlink(at("shared/doc").c_str()), 0);
    SetTimes(AT_FDCWD, at("shared"), File("", kTime + 101, 5));
    ASSERT_EQ(::unlink((dst + "/snap/2/big").c_str()), 0);
    WriteTree(dst, {{"snap/2/big", File("data")}});
    EXPECT_EQ(RunPair(src, dst, true), Block(src, dst, {}, {at("shared/new"), at("snap/2/big")}));
    EXPECT_EQ(Describe(dst), Describe(src));
}

// Without the right to set owners, copies belong to the run: set-user-ID and
// set-group-ID stay behind, as they would hand another user's rights on. Device nodes
// the run may not make are listed apart and do not fail the run.
TEST_F(PosixCopyPassTest, WithoutTheRightToSetOwnersSetIdBitsStayBehindAndDevicesAreListed) {
    if (::geteuid() != 0 || ::mknod((src + "/null").c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
        GTEST_SKIP() << "needs root, and device nodes in the test folder";
    }
    WriteTree(src, {{"team/tool", File("#!", kTime, 0, 0755)}});
    for (const std::string& path : {src + "/team", src + "/team/tool"}) {
        ASSERT_EQ(::chown(path.c_str(), 1234, 1234), 0);
    }
    ASSERT_EQ(::chmod((src + "/team/tool").c_str(), 06755), 0);
    ASSERT_EQ(::chmod((src + "/team").c_str(), 02770), 0);
    const std::string reportFile = temp.path() + "/report";
    const pid_t child = ::fork();
    if (child == 0) {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct caps[_LINUX_CAPABILITY_U32S_3] = {};
        ::syscall(SYS_capget, &header, caps);
        caps[0].effective &= ~(CAP_TO_MASK(CAP_CHOWN) | CAP_TO_MASK(CAP_MKNOD));
        if (::syscall(SYS_capset, &header, caps) != 0) {
            ::_exit(2);
        }
        std::ofstream(reportFile) << RunPair(src, dst);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::ostringstream report;
    report << std::ifstream(reportFile).rdbuf();
    EXPECT_EQ(report.str(), Block(src, dst, {}, {src + "/team/tool"}, {}, {src + "/null"}));
    EXPECT_EQ(ReadTree(dst), Full({{"team/tool", File("#!", kTime, 0, 0755)}}));
    struct stat team;
    ASSERT_EQ(::stat((dst + "/team").c_str(), &team), 0);
    EXPECT_EQ(team.st_mode & 07777u, 0770u);
    EXPECT_EQ(team.st_uid, 0u);
}

// A link in the target where the source has a folder or a file is never written
// through: the file is replaced by its own copy, the folder is listed as failed.
TEST_F(PosixCopyPassTest, TargetLinksAreNeverWrittenThrough) {
    const std::string outside = temp.sub("outside");
    WriteTree(outside, {{"f", File("sentinel")}, {"data", File("sentinel")}});
    WriteTree(src, {{"data", File("new", kTime + 1)}, {"dir/f", File("new", kTime + 1)}});
    WriteTree(dst, {{"data", Link(outside + "/data")}, {"dir", Link(outside)}});

    EXPECT_EQ(RunPair(src, dst), Block(src, dst, {src + "/dir"}, {src + "/data"}));
    EXPECT_EQ(ReadTree(outside), (Tree{{"f", File("sentinel")}, {"data", File("sentinel")}}));
    EXPECT_EQ(ReadTree(dst), (Tree{{"data", File("new", kTime + 1)}, {"dir", Link(outside)}}));
}

TEST_F(PosixCopyPassTest, NamesDifferingOnlyInCaseAreDifferentFiles) {
    WriteTree(src, {{"Readme", File("source")}});
    WriteTree(dst, {{"README", File("other", kTime + 9)}});
    EXPECT_EQ(RunPair(src, dst), Block(src, dst, {}, {src + "/Readme"}));
    EXPECT_EQ(ReadTree(dst),
              (Tree{{"Readme", File("source")}, {"README", File("other", kTime + 9)}}));
}

// A copy that fails part way (here the file-size limit cuts the write) leaves the
// previous backup copy as it was and no partial file behind; as the target could not
// take a write, nothing is deleted (the folder "old" may be the only copy of "big"'s
// new folder, renamed in the source).
TEST_F(PosixCopyPassTest, FailedCopyKeepsThePreviousCopyAndLeavesNoPartialFile) {
    WriteTree(src, {{"big", File(std::string(3 << 20, 'n'), kTime + 1)}});
    WriteTree(dst, {{"big", File("previous backup")}, {"old/f", File("f")}});
    struct rlimit old;
    ::getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit small = old;
    small.rlim_cur = 1 << 20;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &small);
    const std::string report = RunPair(src, dst, true);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(report, Block(src, dst, {src + "/big"}, {}, "目標目錄寫入失敗，已跳過刪除"));
    EXPECT_EQ(ReadTree(dst), Full({{"big", File("previous backup")}, {"old/f", File("f")}}));
}

// Holes are skipped, not written: the copy takes no more room than its source.
TEST_F(PosixCopyPassTest, SparseFilesStaySparse) {
    const std::string data(1 << 20, 'd');
    WriteTree(src, {{"disk.img", File("")}});
    const std::string image = src + "/disk.img";
    const int fd = ::open(image.c_str(), O_WRONLY);
    ASSERT_EQ(::pwrite(fd, data.data(), data.size(), 4 << 20), static_cast<ssize_t>(data.size()));
    ASSERT_EQ(::ftruncate(fd, 16 << 20), 0); // a hole at each end around the data
    ::close(fd);
    SetTimes(AT_FDCWD, image, File("", kTime));
    struct stat source;
    ASSERT_EQ(::stat(image.c_str(), &source), 0);
    if (source.st_blocks * 512 >= 16 << 20) {
        GTEST_SKIP() << "the test folder's file system keeps no holes";
    }

    EXPECT_EQ(RunPair(src, dst), Block(src, dst, {}, {image}));
    EXPECT_TRUE(ReadTree(dst) == ReadTree(src)); // not printed: 16 MiB
    struct stat copy;
    ASSERT_EQ(::stat((dst + "/disk.img").c_str(), &copy), 0);
    EXPECT_LE(copy.st_blocks, source.st_blocks + 64);
}

// The bytes of a POSIX access control list giving user 4242 read access.
std::string AccessList(unsigned short mask) {
    const unsigned short entries[][2] = {{0x01, 6}, {0x02, 4}, {0x04, 4}, {0x10, mask}, {0x20, 0}};
    std::string bytes(4, '\0');
    bytes[0] = 2; // version
    for (const auto& entry : entries) {
        const unsigned id = entry[0] == 0x02 ? 4242u : 0xffffffffu;
        char record[8];
        std::memcpy(record, &entry[0], 2);
        std::memcpy(record + 2, &entry[1], 2);
        std::memcpy(record + 4, &id, 4);
        bytes.append(record, 8);
    }
    return bytes;
}

std::string Attribute(const std::string& path, const char* name) {
    char value[256];
    const ssize_t size = ::lgetxattr(path.c_str(), name, value, sizeof value);
    return size < 0 ? "none" : std::string(value, static_cast<std::size_t>(size));
}

bool SetAttribute(const std::string& path, const char* name, const std::string& value) {
    return ::lsetxattr(path.c_str(), name, value.data(), value.size(), 0) == 0;
}

TEST_F(PosixCopyPassTest, ExtendedAttributesAndAccessListsGoWithFilesAndFolders) {
    WriteTree(
        src,
        {{"tagged", File("t")}, {"shared", File("s", kTime, 0, 0640)}, {"sub/plain", File("p")}});
    if (!SetAttribute(src + "/tagged", "user.origin", "camera") ||
        !SetAttribute(src + "/shared", "system.posix_acl_access", AccessList(4))) {
        GTEST_SKIP() << "the test folder's file system keeps no extended attributes";
    }
    ASSERT_TRUE(SetAttribute(src + "/sub", "user.origin", "album"));
    ASSERT_TRUE(SetAttribute(src + "/sub", "system.posix_acl_default", AccessList(4)));
    // What is made in the target takes this list, unless the copy brings its own.
    ASSERT_TRUE(SetAttribute(dst, "system.posix_acl_default", AccessList(6)));

    EXPECT_EQ(RunPair(src, dst),
              Block(src, dst, {}, {src + "/shared", src + "/sub/plain", src + "/tagged"}));
    EXPECT_EQ(Attribute(dst + "/tagged", "user.origin"), "camera");
    EXPECT_EQ(Attribute(dst + "/tagged", "system.posix_acl_access"), "none");
    EXPECT_EQ(Attribute(dst + "/shared", "system.posix_acl_access"), AccessList(4));
    EXPECT_EQ(Attribute(dst + "/sub", "user.origin"), "album");
    EXPECT_EQ(Attribute(dst + "/sub", "system.posix_acl_default"), AccessList(4));
    EXPECT_EQ(ReadTree(dst), ReadTree(src));

    // A folder that exists already keeps its own.
    ASSERT_TRUE(SetAttribute(src + "/sub", "user.origin", "trip"));
    ASSERT_TRUE(SetAttribute(dst + "/sub", "system.posix_acl_default", AccessList(6)));
    RunPair(src, dst);
    EXPECT_EQ(Attribute(dst + "/sub", "user.origin"), "album");
    EXPECT_EQ(Attribute(dst + "/sub", "system.posix_acl_default"), AccessList(6));
}

// A run killed in the middle of a copy leaves nothing in the target; temporaries
// that dead runs left behind go when a later run copies into their folder, those of
// live runs stay.
TEST_F(PosixCopyPassTest, KilledRunLeavesNothingAndStaleTemporariesGo) {
    const int probe = ::open(dst.c_str(), O_TMPFILE | O_WRONLY, 0600);
    if (probe < 0) {
        GTEST_SKIP() << "the test folder's file system has no unnamed files";
    }
    ::close(probe);
    WriteTree(src, {{"big", File(std::string(256 << 10, 'n'))}});
    const pid_t child = ::fork();
    if (child == 0) {
        // Writing past the size limit kills the process, as kill -9 would.
        const struct rlimit size = {64 << 10, 64 << 10};
        const struct rlimit noCore = {0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        ::setrlimit(RLIMIT_FSIZE, &size);
        std::signal(SIGXFSZ, SIG_DFL);
        RunPair(src, dst);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ);
    EXPECT_EQ(ReadTree(dst), Tree{});

    // The killed run left its target marked unsettled, so the next run also copies a
    // file of the same time but another size: what a power cut leaves of a new copy.
    const bool marked = ::getxattr(dst.c_str(), "user.kestrova.unsettled", nullptr, 0) >= 0;
    const std::string dead = ".kestrova-" + std::to_string(child) + "-7.part";
    const Tree planted = {{dead, File("stale")},
                          {".kestrova-1-3.part", File("live")},
                          {".kestrova-notes", File("mine")},
                          {"short", File("wh")}};
    WriteTree(dst, planted);
    WriteTree(src, {{"short", File("whole")}});
    std::vector<std::string> copied = {src + "/big"};
    if (marked) {
        copied.push_back(src + "/short");
    }
    EXPECT_EQ(RunPair(src, dst), Block(src, dst, {}, copied));
    Tree expected = planted;
    expected.erase(dead);
    expected["big"] = File(std::string(256 << 10, 'n'));
    expected["short"] = File(marked ? "whole" : "wh");
    EXPECT_EQ(ReadTree(dst), expected);
    // A finished run clears the mark: time alone decides again.
    WriteTree(dst, {{"short", File("wh")}});
    EXPECT_EQ(RunPair(src, dst), Block(src, dst, {}, {}));
}

// A target that keeps whole seconds, as an old ext4 or a network mount does.
class WholeSecondTarget : public PosixFileSystem {
public:
    CopyOutcome copy(FolderHandle from, FolderHandle to, const char* name, EntryKind kind,
                     const std::atomic<bool>& stop) override {
        const CopyOutcome outcome = PosixFileSystem::copy(from, to, name, kind, stop);
        struct stat st;
        if (outcome == CopyOutcome::Copied && ::fstatat(to, name, &st, 0) == 0) {
            const struct timespec times[2] = {{st.st_mtim.tv_sec, 0}, {st.st_mtim.tv_sec, 0}};
            ::utimensat(to, name, times, 0);
        }
        return outcome;
    }
    std::int64_t timeStep(FolderHandle) override { return kNanosecondsPerSecond; }
};

TEST_F(PosixCopyPassTest, CoarseTargetTimesCompareAtTheirStep) {
    WriteTree(src, {{"a", File("a", kTime, 999'999'999)}, {"b", File("b", kTime + 1, 5)}});
    WholeSecondTarget fs;
    EXPECT_EQ(RunPair(src, dst, false, &fs), Block(src, dst, {}, {src + "/a", src + "/b"}));
    EXPECT_EQ(RunPair(src, dst, false, &fs), Block(src, dst, {}, {}));

    // A time the target can tell apart is copied; one it cannot is not.
    WriteTree(src, {{"a", File("a", kTime - 1, 999'999'999)}, {"b", File("b", kTime + 1, 6)}});
    EXPECT_EQ(RunPair(src, dst, false, &fs), Block(src, dst, {}, {src + "/a"}));
}

} // namespace
} // namespace kestrova::test
