// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "cli/RunPairs.h"
#include "fs/PosixFileSystem.h"
#include "support/TestMount.h"
#include "support/TreeFixture.h"
#include "sync/SyncWorker.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/file.h>
#include <thread>

namespace kestrova::test {
namespace {

std::string Contents(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::string text;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, got);
    }
    return text;
}

// Holds the stop signals back in the test's thread, so that one sent to it waits for
// the run to take it; any left over are discarded at the end.
class HeldStopSignals {
public:
    HeldStopSignals() : signals_(StopSignals()) {
        pthread_sigmask(SIG_BLOCK, &signals_, &previous_);
    }
    ~HeldStopSignals() {
        const timespec now{0, 0};
        while (::sigtimedwait(&signals_, nullptr, &now) > 0) {
        }
        pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }

private:
    sigset_t signals_;
    sigset_t previous_;
};

// Sends `signal` to the test's thread when a copy begins, and lets the copy wait for
// the stop that should follow (for ten seconds at most).
class SignalDuringCopy : public PosixFileSystem {
public:
    SignalDuringCopy(pthread_t thread, int signal) : thread_(thread), signal_(signal) {}
    CopyOutcome copy(FolderHandle from, FolderHandle to, const char* name, EntryKind kind,
                     const std::atomic<bool>& stop) override {
        pthread_kill(thread_, signal_);
        for (int i = 0; i < 10000 && !stop.load(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return stop.load() ? CopyOutcome::Stopped
                           : PosixFileSystem::copy(from, to, name, kind, stop);
    }

private:
    pthread_t thread_;
    int signal_;
};

TEST(RunPairsTest, EveryStopSignalCutsTheRunShort) {
    TempFolder temp;
    const std::string src = temp.sub("src");
    const std::string dst = temp.sub("dst");
    WriteTree(src, {{"f", File("f")}});
    HeldStopSignals held;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        SignalDuringCopy fs(pthread_self(), signal);
        std::FILE* report = std::tmpfile();
        EXPECT_EQ(RunPairs({{src, dst}}, false, {report, nullptr, nullptr}, &fs), kExitStopped)
            << signal;
        EXPECT_EQ(Contents(report), "") << signal;
        std::fclose(report);
    }
    EXPECT_EQ(ReadTree(dst), Tree{});
}

bool g_signalTaken = false;

// The signal is taken only after the run has ended: the run was not cut short, so the
// command says how it went and its output is whole.
TEST(RunPairsTest, ARunThatEndedBeforeTheSignalWasTakenIsNotStopped) {
    TempFolder temp;
    const std::string src = temp.sub("src");
    const std::string dst = temp.sub("dst");
    WriteTree(src, {{"f", File("f")}, {"ro", File("new", kTime + 1)}});
    WriteTree(dst, {{"ro", File("old", kTime, 0, 0444)}});
    HeldStopSignals held;
    pthread_kill(pthread_self(), SIGTERM);
    std::FILE* report = std::tmpfile();
    std::FILE* progress = std::tmpfile();
    const StopCommand stopAfterTheEnd = [] {
        g_signalTaken = true;
        JoinSyncWorker();
        return StopSyncWorker();
    };
    EXPECT_EQ(RunPairs({{src, dst}}, false, {report, progress, nullptr}, nullptr, stopAfterTheEnd),
              kExitFailures);
    EXPECT_TRUE(g_signalTaken);
    EXPECT_EQ(Contents(report), "從 " + src + "\n到 " + dst + "\n以下文件更新失敗，可能正在使用\n" +
                                    src + "/ro\n\n更新了以下改動過的文件\n" + src +
                                    "/f\n\n\n---------------------------------\n\n");
    EXPECT_TRUE(Contents(progress).ends_with("同步完成﹝\n"));
    std::fclose(report);
    std::fclose(progress);
}

// A full target disk while "full" is copied, and a source disk that fails while
// "unreadable" is read.
class FailingDisks : public PosixFileSystem {
public:
    CopyOutcome copy(FolderHandle from, FolderHandle to, const char* name, EntryKind kind,
                     const std::atomic<bool>& stop) override {
        if (std::string(name) == "full") {
            errno = ENOSPC;
            return CopyOutcome::WriteFailed;
        }
        if (std::string(name) == "unreadable") {
            errno = EIO;
            return CopyOutcome::ReadFailed;
        }
        return PosixFileSystem::copy(from, to, name, kind, stop);
    }
};

// Every failure says why on standard error. A target that cannot take a write keeps
// its deletions back; a source that cannot be read is named and does not.
TEST(RunPairsTest, EveryFailureSaysWhyOnStandardError) {
    TempFolder temp;
    const std::string full = temp.sub("full");
    const std::string unreadable = temp.sub("unreadable");
    const std::string dst1 = temp.sub("dst1");
    const std::string dst2 = temp.sub("dst2");
    const std::string locked = temp.sub("locked");
    WriteTree(full, {{"full", File("f")}});
    WriteTree(unreadable, {{"unreadable", File("u")}});
    WriteTree(dst1, {{"stale", File("s")}});
    WriteTree(dst2, {{"stale", File("s")}});
    const int held = ::open(locked.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    FailingDisks fs;
    std::FILE* report = std::tmpfile();
    std::FILE* errors = std::tmpfile();
    EXPECT_EQ(RunPairs({{full, dst1}, {unreadable, dst2}, {full, locked}}, true,
                       {report, nullptr, errors}, &fs),
              kExitFailures);
    ::close(held);
    EXPECT_EQ(Contents(errors),
              "kestrova-sync: cannot copy " + full + "/full: No space left on device\n" +
                  "kestrova-sync: cannot read " + unreadable + "/unreadable: Input/output error\n" +
                  "kestrova-sync: skipped the pair into " + locked +
                  ": another run is using this folder\n");
    EXPECT_EQ(ReadTree(dst1), (Tree{{"stale", File("s")}}));
    EXPECT_EQ(ReadTree(dst2), Tree{});
    std::fclose(report);
    std::fclose(errors);
}

// An ext4 target whose disk runs out of room only as the kernel writes the copies out:
// the writes were taken, and the error comes later.
TEST(RunPairsTest, AWriteErrorThatComesAtWritebackFailsTheRunAndDeletesNothing) {
    TempFolder temp;
    const std::string src = temp.sub("src");
    const std::string backing = temp.sub("backing");
    const std::string point = temp.sub("mnt");
    TestMount disk(backing);
    TestMount target(point);
    if (!disk.mount("mount -t tmpfs -o size=24M tmpfs \"$POINT\"") ||
        !target.mount("truncate -s 128M " + backing + "/image && mkfs.ext4 -q -F " + backing +
                      "/image && mount -o loop " + backing + "/image \"$POINT\"")) {
        GTEST_SKIP() << "cannot mount an ext4 image on a tmpfs here";
    }
    const std::string dst = point + "/dst";
    ::mkdir(dst.c_str(), 0755);
    const Tree old = {{"big", File(std::string(2 << 20, 'o'))}, {"stale", File("s")}};
    WriteTree(dst, old);
    ::sync();
    WriteTree(src, {{"big", File(std::string(48 << 20, 'n'), kTime + 1)}, {"fresh", File("f")}});

    std::FILE* report = std::tmpfile();
    std::FILE* errors = std::tmpfile();
    EXPECT_EQ(RunPairs({{src, dst}}, true, {report, nullptr, errors}), kExitFailures);
    const std::string said = Contents(errors);
    EXPECT_NE(said.find("kestrova-sync: cannot copy " + src + "/big: "), std::string::npos) << said;
    EXPECT_NE(said.find("kestrova-sync: the copies in " + dst + " may not be on disk: "),
              std::string::npos)
        << said;
    EXPECT_EQ(said.find("reason unknown"), std::string::npos) << said;
    EXPECT_NE(Contents(report).find("目標目錄寫入失敗，已跳過刪除"), std::string::npos);
    const Tree after = ReadTree(dst);
    EXPECT_TRUE(after.at("big") == old.at("big")); // not printed: 2 MB
    EXPECT_EQ(after.count("stale"), 1u);
    std::fclose(report);
    std::fclose(errors);
}

} // namespace
} // namespace kestrova::test
