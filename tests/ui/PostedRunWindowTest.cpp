// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

// The run's proxy to the window, over a task queue the test drains itself, as the Win32
// window's message queue does, and over Qt's event loop, as the Linux window runs it.

#include "ui/PostedRunWindow.h"
#include "ui/qt/QtUiThreadQueue.h"

#include <QApplication>
#include <QObject>
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace kestrova {
namespace {

class DrainedQueue : public UiThreadQueue {
public:
    void post(std::function<void()> task) override {
        std::lock_guard lock(m_mutex);
        m_tasks.push_back({std::chrono::steady_clock::now(), std::move(task)});
    }
    void postAfter(std::chrono::milliseconds delay, std::function<void()> task) override {
        std::lock_guard lock(m_mutex);
        m_tasks.push_back({std::chrono::steady_clock::now() + delay, std::move(task)});
    }
    std::size_t pending() {
        std::lock_guard lock(m_mutex);
        return m_tasks.size();
    }
    // Runs the tasks that are due, on the calling thread; returns how many ran.
    int drain() {
        int ran = 0;
        for (;;) {
            std::function<void()> task;
            {
                std::lock_guard lock(m_mutex);
                const auto now = std::chrono::steady_clock::now();
                auto due = std::find_if(m_tasks.begin(), m_tasks.end(),
                                        [&](const auto& t) { return t.first <= now; });
                if (due == m_tasks.end()) {
                    return ran;
                }
                task = std::move(due->second);
                m_tasks.erase(due);
            }
            task();
            ++ran;
        }
    }

private:
    std::mutex m_mutex;
    std::deque<std::pair<std::chrono::steady_clock::time_point, std::function<void()>>> m_tasks;
};

// Records, in order, what reached it.
class Recorder : public SyncWindow {
public:
    int rowCount() override { return 3; }
    int rowCheckState(int) override { return 2; }
    std::string rowSource(int row) override {
        thread = std::this_thread::get_id();
        return "src" + std::to_string(row);
    }
    std::string rowTarget(int) override { return "dst"; }
    void setRowStatus(int row, const std::string& text) override {
        seen.push_back("row " + std::to_string(row) + " " + text);
    }
    void setStatusLine(const std::string& text) override { seen.push_back("status " + text); }
    void setReport(const SpooledText& report) override {
        seen.push_back("report " + report.toString());
    }
    bool deleteOption() override { return true; }
    void enableStart(bool) override {}
    void enableStop(bool) override {}
    void enableDeleteOption(bool) override {}
    void messageBox(const std::string& text) override { seen.push_back("box " + text); }
    void entryFailed(const std::string& path, const EntryFailure& failure) override {
        seen.push_back("failed " + path + " " + std::to_string(failure.reason));
    }
    RunOptions runOptions() override {
        RunOptions options;
        options.trash = true;
        return options;
    }

    std::vector<std::string> seen;
    std::thread::id thread;
};

// Drains `queue` until `done` is ready.
template <class T> T DrainUntil(DrainedQueue& queue, std::future<T>& done) {
    while (done.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready) {
        queue.drain();
    }
    return done.get();
}

TEST(PostedRunWindowTest, RequestsRunOnTheDrainingThreadInOrderWithTheLatestStatusFirst) {
    DrainedQueue queue;
    Recorder window;
    PostedRunWindow proxy(window, queue);
    RunOptions options;
    auto worker = std::async(std::launch::async, [&] {
        options = proxy.runOptions();
        proxy.setStatusLine("a");
        proxy.setStatusLine("b"); // replaces "a", which was not shown yet
        proxy.setRowStatus(1, "完成");
        proxy.entryFailed("/src/f", {EntryFailure::Step::Copy, 28});
        return proxy.rowSource(2);
    });
    EXPECT_EQ(DrainUntil(queue, worker), "src2");
    EXPECT_EQ(window.thread, std::this_thread::get_id());
    EXPECT_EQ(window.seen,
              (std::vector<std::string>{"status b", "row 1 完成", "failed /src/f 28"}));
    EXPECT_TRUE(options.trash);
    EXPECT_FALSE(options.preview);
}

TEST(PostedRunWindowTest, ReleaseFreesAWaitingWorkerAndDropsWhatIsQueued) {
    DrainedQueue queue;
    Recorder window;
    PostedRunWindow proxy(window, queue);
    auto worker = std::async(std::launch::async, [&] {
        const SpooledText report("queued");
        proxy.setReport(report);
        return proxy.rowCheckState(0);
    });
    // Nothing is drained: the worker waits on its first request until the release.
    while (queue.pending() == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    proxy.release();
    // A released run reads rows as unchecked, so it starts no further pair.
    EXPECT_EQ(worker.get(), 1);
    EXPECT_TRUE(proxy.runOptions().preview); // and changes nothing on disk
    queue.drain();
    proxy.messageBox("after");
    queue.drain();
    EXPECT_TRUE(window.seen.empty());
}

TEST(PostedRunWindowTest, OverQtsEventLoopStatusLinesAreCoalescedAndNoneShowsAfterRelease) {
    auto context = std::make_unique<QObject>();
    QtUiThreadQueue queue(context.get());
    Recorder window;
    PostedRunWindow proxy(window, queue);
    auto worker = std::async(std::launch::async, [&] {
        for (int i = 0; i < 1000; ++i) {
            proxy.setStatusLine("/src/file" + std::to_string(i));
        }
        return proxy.rowSource(1);
    });
    while (worker.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    EXPECT_EQ(worker.get(), "src1");
    EXPECT_EQ(window.thread, std::this_thread::get_id());
    ASSERT_FALSE(window.seen.empty());
    EXPECT_LT(window.seen.size(), 10u);
    EXPECT_EQ(window.seen.back(), "status /src/file999");

    proxy.setStatusLine("/src/late");
    proxy.release();
    const auto until = std::chrono::steady_clock::now() + 3 * PostedRunWindow::kStatusInterval;
    while (std::chrono::steady_clock::now() < until) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    EXPECT_EQ(window.seen.back(), "status /src/file999");

    // A task still queued for a context that is gone is dropped.
    bool ran = false;
    queue.post([&] { ran = true; });
    context.reset();
    QApplication::processEvents();
    EXPECT_FALSE(ran);
}

} // namespace
} // namespace kestrova
