#include "ui/qt/RunWindowProxy.h"

#include <QApplication>
#include <QObject>
#include <QThread>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace kestrova {
namespace {

// Records what reached it and on which thread.
class RecordingWindow : public SyncWindow {
public:
    int rowCount() override { return note(), 3; }
    int rowCheckState(int) override { return note(), 2; }
    std::string rowSource(int row) override { return note(), "src" + std::to_string(row); }
    std::string rowTarget(int) override { return note(), "dst"; }
    void setRowStatus(int, const std::string&) override { note(); }
    void setStatusLine(const std::string& text) override {
        note();
        statusLines.push_back(text);
    }
    void setReport(const std::string& text) override {
        note();
        statusLines.push_back("report " + text);
    }
    bool deleteOption() override { return note(), true; }
    void enableStart(bool) override { note(); }
    void enableStop(bool) override { note(); }
    void enableDeleteOption(bool) override { note(); }
    void messageBox(const std::string&) override { note(); }
    void entryFailed(const std::string& path, const EntryFailure& failure) override {
        note();
        statusLines.push_back("failed " + path + " " + std::to_string(failure.reason));
    }
    RunOptions runOptions() override {
        note();
        RunOptions options;
        options.trash = true;
        return options;
    }

    std::atomic<int> calls = 0;
    std::atomic<bool> offThread = false;
    std::vector<std::string> statusLines;

private:
    void note() {
        ++calls;
        if (QThread::currentThread() != QApplication::instance()->thread()) {
            offThread = true;
        }
    }
};

template <class Predicate> bool PumpUntil(Predicate done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

TEST(RunWindowProxy, CarriesRequestsToTheInterfaceThreadAndReturnsTheAnswers) {
    RecordingWindow window;
    QObject context;
    RunWindowProxy proxy(window, &context);

    std::atomic<bool> done = false;
    int rows = 0;
    std::string source;
    bool option = false;
    RunOptions options;
    std::thread worker([&] {
        rows = proxy.rowCount();
        source = proxy.rowSource(7);
        option = proxy.deleteOption();
        options = proxy.runOptions();
        proxy.entryFailed("/src/f", {EntryFailure::Step::Copy, 28});
        proxy.enableStart(false);
        done = true;
    });
    ASSERT_TRUE(PumpUntil([&] { return done.load(); }));
    worker.join();
    EXPECT_EQ(rows, 3);
    EXPECT_EQ(source, "src7");
    EXPECT_TRUE(option);
    EXPECT_TRUE(options.trash);
    EXPECT_FALSE(options.preview);
    EXPECT_EQ(window.statusLines, std::vector<std::string>{"failed /src/f 28"});
    EXPECT_EQ(window.calls, 6);
    EXPECT_FALSE(window.offThread);
}

TEST(RunWindowProxy, ReleaseFreesAWaitingWorkerAndDropsWhatIsQueued) {
    RecordingWindow window;
    QObject context;
    RunWindowProxy proxy(window, &context);

    std::atomic<bool> asked = false;
    std::atomic<bool> done = false;
    int check = 0;
    std::thread worker([&] {
        asked = true;
        check = proxy.rowCheckState(0); // waits: nothing processes events yet
        proxy.setReport("after the stop");
        proxy.setStatusLine("after the stop");
        done = true;
    });
    while (!asked) {
        std::this_thread::yield();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(done);

    proxy.release(); // no event is processed: the worker must come free all the same
    worker.join();
    EXPECT_TRUE(done);
    EXPECT_EQ(check, 1);                     // a released run sees every row unchecked
    EXPECT_TRUE(proxy.runOptions().preview); // and changes nothing on disk

    QApplication::processEvents();
    EXPECT_EQ(window.calls, 0);
}

TEST(RunWindowProxy, StatusLinesAreCoalescedAndTheLastOneIsShown) {
    RecordingWindow window;
    QObject context;
    RunWindowProxy proxy(window, &context);

    std::thread worker([&] {
        for (int i = 0; i < 1000; ++i) {
            proxy.setStatusLine("/src/file" + std::to_string(i));
        }
    });
    worker.join();
    QApplication::processEvents();
    ASSERT_FALSE(window.statusLines.empty());
    EXPECT_LT(window.statusLines.size(), 10u);
    EXPECT_EQ(window.statusLines.back(), "/src/file999");

    // A path still waiting for its turn is shown before a later request takes effect.
    std::atomic<bool> done = false;
    std::thread ordered([&] {
        proxy.setStatusLine("/src/last");
        proxy.setReport("r");
        done = true;
    });
    ASSERT_TRUE(PumpUntil([&] { return done.load(); }));
    ordered.join();
    ASSERT_GE(window.statusLines.size(), 2u);
    EXPECT_EQ(window.statusLines[window.statusLines.size() - 2], "/src/last");
    EXPECT_EQ(window.statusLines.back(), "report r");

    proxy.setStatusLine("/src/late");
    proxy.release();
    QApplication::processEvents();
    EXPECT_EQ(window.statusLines.back(), "report r");
}

} // namespace
} // namespace kestrova
