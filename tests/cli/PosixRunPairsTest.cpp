#include "cli/RunPairs.h"
#include "support/TreeFixture.h"
#include "sync/PosixFileSystem.h"
#include "sync/SyncWorker.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <gtest/gtest.h>
#include <pthread.h>
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

} // namespace
} // namespace kestrova::test
