// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "report/SyncWindow.h"
#include "report/VisibleText.h"

#include <atomic>
#include <string>

namespace kestrova {

// The run's view of its window: once a stop has been requested every call becomes a
// no-op returning a neutral value, so a stopped run makes no further visible change.
class RunWindow {
public:
    RunWindow(SyncWindow& window, const std::atomic<bool>& stop) : window_(window), stop_(stop) {}

    bool stopped() const { return stop_.load(std::memory_order_relaxed); }
    const std::atomic<bool>& stopFlag() const { return stop_; }

    int rowCount() { return stopped() ? 0 : window_.rowCount(); }
    int rowCheckState(int row) { return stopped() ? 1 : window_.rowCheckState(row); }
    std::string rowSource(int row) { return stopped() ? std::string() : window_.rowSource(row); }
    std::string rowTarget(int row) { return stopped() ? std::string() : window_.rowTarget(row); }
    bool deleteOption() { return !stopped() && window_.deleteOption(); }
    RunOptions runOptions() { return stopped() ? RunOptions{} : window_.runOptions(); }
    void setRowStatus(int row, const std::string& text) {
        if (!stopped()) {
            window_.setRowStatus(row, text);
        }
    }
    void setStatusLine(const std::string& text) {
        if (stopped()) {
            return;
        }
        if (NeedsEscaping(text)) {
            window_.setStatusLine(VisibleText(text));
        } else {
            window_.setStatusLine(text); // no copy for the common plain path
        }
    }
    void setReport(const SpooledText& report) {
        if (!stopped()) {
            window_.setReport(report);
        }
    }
    // The running state (Start and the option disabled, Stop enabled) or the idle one.
    void showRunning(bool running) {
        if (!stopped()) {
            window_.enableStart(!running);
        }
        if (!stopped()) {
            window_.enableDeleteOption(!running);
        }
        if (!stopped()) {
            window_.enableStop(running);
        }
    }
    void entryFailed(const std::string& path, const EntryFailure& failure) {
        if (!stopped()) {
            window_.entryFailed(path, failure);
        }
    }
    void messageBox(const std::string& text) {
        if (!stopped()) {
            window_.messageBox(text);
        }
    }

private:
    SyncWindow& window_;
    const std::atomic<bool>& stop_;
};

} // namespace kestrova
