// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "RunHelpers.h"

#include "sync/SyncWorker.h"

#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <thread>

namespace kestrova::test {
namespace {

using namespace std::chrono_literals;

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit = 20s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// A window whose chosen call blocks until the test releases it, or for at most a
// minute, so that a failed check turns into a failure rather than a hung test.
class GatedWindow : public TestWindow {
public:
    GatedWindow(std::vector<Row> rows, std::string gatedCall)
        : TestWindow(std::move(rows)), gated_(std::move(gatedCall)) {}
    void enableStart(bool on) override {
        TestWindow::enableStart(on);
        wait("enableStart");
    }
    void messageBox(const std::string& text) override {
        TestWindow::messageBox(text);
        wait("messageBox");
    }
    void release() { release_.set_value(); }
    bool entered() const { return entered_.load(); }

private:
    void wait(const std::string& call) {
        if (call == gated_ && !entered_.exchange(true)) {
            released_.wait_for(60s);
        }
    }
    std::string gated_;
    std::promise<void> release_;
    std::shared_future<void> released_ = release_.get_future().share();
    std::atomic<bool> entered_{false};
};

class WorkerTest : public ::testing::Test {
protected:
    void TearDown() override {
        StopSyncWorker();
        JoinSyncWorker();
    }
    TempFolder temp;
    std::string src = temp.sub("src");
    std::string dst = temp.sub("dst");
};

TEST_F(WorkerTest, OnlyOneWorkerUntilTheLastHasEnded) {
    GatedWindow window({{src, dst, 2, {}}}, "messageBox");
    EXPECT_FALSE(StopSyncWorker());
    ASSERT_TRUE(StartSyncWorker(window));
    ASSERT_TRUE(WaitFor([&] { return window.entered(); }));
    // Waiting on its final message, the run has given up its place but lives on.
    EXPECT_FALSE(SyncWorkerActive());
    EXPECT_TRUE(SyncWorkerAlive());
    EXPECT_EQ(g_syncRunning.load(), 0);
    TestWindow other;
    EXPECT_FALSE(StartSyncWorker(other));
    window.release();
    JoinSyncWorker();
    EXPECT_FALSE(SyncWorkerAlive());
    EXPECT_TRUE(StartSyncWorker(other));
    JoinSyncWorker();
    EXPECT_EQ(other.log().back(), "box 同步完成﹝");
}

TEST_F(WorkerTest, AfterStopTheWorkerMakesNoFurtherCall) {
    WriteTree(src, {{"a", File("a")}});
    GatedWindow window({{src, dst, 2, {}}}, "enableStart");
    ASSERT_TRUE(StartSyncWorker(window));
    ASSERT_TRUE(WaitFor([&] { return window.entered(); }));
    EXPECT_EQ(g_syncRunning.load(), 1);
    EXPECT_TRUE(SyncWorkerActive());
    EXPECT_TRUE(StopSyncWorker());
    EXPECT_FALSE(SyncWorkerActive());
    EXPECT_TRUE(SyncStopRequested());
    EXPECT_EQ(g_syncRunning.load(), 0);
    window.release();
    JoinSyncWorker();
    EXPECT_EQ(window.log(), std::vector<std::string>{"start off"});
    EXPECT_EQ(g_syncRunning.load(), 0);
    EXPECT_EQ(ReadTree(dst), Tree{});
}

// Stops the run from inside a copy, once the copy has begun.
class StopsWhileCopying : public NativeFileSystem {
public:
    CopyOutcome copy(FolderHandle from, FolderHandle to, const char* name, EntryKind kind,
                     const std::atomic<bool>& stop) override {
        StopSyncWorker();
        return NativeFileSystem::copy(from, to, name, kind, stop);
    }
};

// Stop lands in the middle of a copy: the worker ends promptly, the partial copy is
// removed and the previous backup copy is untouched.
TEST_F(WorkerTest, StopInsideACopyKeepsThePreviousCopy) {
    WriteTree(dst, {{"big", File("previous backup")}});
    WriteTree(src, {{"big", File(std::string(NativeFileSystem::kCopyChunk * 2, 'b'), kTime + 1)}});
    TestWindow window({{src, dst, 2, {}}});
    StopsWhileCopying fs;
    ASSERT_TRUE(StartSyncWorker(window, fs));
    ASSERT_TRUE(WaitFor([] { return !SyncWorkerAlive(); }, 5s));
    JoinSyncWorker();

    EXPECT_EQ(ReadTree(dst), (Tree{{"big", File("previous backup")}}));
    EXPECT_EQ(window.rowStatus(0), "＃");
    EXPECT_EQ(window.report(), "");
}

} // namespace
} // namespace kestrova::test
