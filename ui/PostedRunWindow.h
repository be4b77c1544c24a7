// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// The window as one sync run sees it from its worker thread, for any toolkit that
// offers a UiThreadQueue. Each request is carried out on the user-interface thread by
// the window it wraps while the worker waits for it. release() (the Stop command, on
// the user-interface thread) frees a waiting worker at once and makes every later
// request return without effect; requests already queued are dropped when their turn
// comes, so nothing visible changes after Stop.
//
// Status-line updates do not wait: the latest path is kept and shown at most every
// kStatusInterval, so a fast run costs no round trip per file. A path still waiting is
// shown before any later request is carried out, so the last path examined is always
// the one left showing and effects keep their order.

#include "report/SyncWindow.h"
#include "ui/UiThreadQueue.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace kestrova {

class PostedRunWindow : public SyncWindow {
public:
    // `window` is used on the user-interface thread only. The owner releases the proxy
    // before `queue` or `window` go, and keeps the proxy until its worker has ended.
    PostedRunWindow(SyncWindow& window, UiThreadQueue& queue);

    // Frees the worker and cuts it off from the window for good. Interface thread.
    void release();

    int rowCount() override;
    int rowCheckState(int row) override;
    std::string rowSource(int row) override;
    std::string rowTarget(int row) override;
    void setRowStatus(int row, const std::string& text) override;
    void setStatusLine(const std::string& text) override;
    void setReport(const SpooledText& report) override;
    bool deleteOption() override;
    void enableStart(bool enabled) override;
    void enableStop(bool enabled) override;
    void enableDeleteOption(bool enabled) override;
    void messageBox(const std::string& text) override;
    void entryFailed(const std::string& path, const EntryFailure& failure) override;
    // A released run is answered as a preview would be, so that whatever it may still
    // do changes nothing on disk.
    RunOptions runOptions() override;

    static constexpr std::chrono::milliseconds kStatusInterval{40};

private:
    struct Shared {
        std::mutex mutex;
        std::condition_variable answered;
        bool released = false;
        std::string latestStatus;
        bool statusQueued = false;
        std::chrono::steady_clock::time_point statusShownAt; // interface thread only
    };

    // Shows the latest status line if one waits: at once with `now`, otherwise no
    // sooner than kStatusInterval after the last. Interface thread.
    static void showStatus(SyncWindow& window, UiThreadQueue& queue,
                           const std::shared_ptr<Shared>& shared, bool now);

    // Runs `request` on the interface thread and waits; `fallback` once released.
    template <class Result> Result ask(Result fallback, std::function<Result()> request);
    void tell(std::function<void()> request);

    SyncWindow& m_window;
    UiThreadQueue& m_queue;
    std::shared_ptr<Shared> m_shared;
};

} // namespace kestrova
