// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "report/SyncWindow.h"

#include <mutex>
#include <string>
#include <vector>

namespace kestrova::test {

// A window for runs in tests: rows set up as data, every call recorded in order.
class TestWindow : public SyncWindow {
public:
    struct Row {
        std::string source;
        std::string target;
        int check = 2;
        std::string status;
    };

    explicit TestWindow(std::vector<Row> rows = {}, bool deleteOption = false)
        : rows_(std::move(rows)), deleteOption_(deleteOption) {}

    void addPair(const std::string& source, const std::string& target, int check = 2) {
        std::lock_guard lock(mutex_);
        rows_.push_back({source, target, check, {}});
    }

    int rowCount() override {
        std::lock_guard lock(mutex_);
        return static_cast<int>(rows_.size());
    }
    int rowCheckState(int row) override {
        std::lock_guard lock(mutex_);
        return rows_.at(static_cast<std::size_t>(row)).check;
    }
    std::string rowSource(int row) override {
        std::lock_guard lock(mutex_);
        return rows_.at(static_cast<std::size_t>(row)).source;
    }
    std::string rowTarget(int row) override {
        std::lock_guard lock(mutex_);
        return rows_.at(static_cast<std::size_t>(row)).target;
    }
    void setRowStatus(int row, const std::string& text) override {
        std::lock_guard lock(mutex_);
        rows_.at(static_cast<std::size_t>(row)).status = text;
        log_.push_back("status " + std::to_string(row) + " " + text);
    }
    void setStatusLine(const std::string& text) override {
        std::lock_guard lock(mutex_);
        statusLine_ = text;
        ++statusCalls_;
    }
    void setReport(const SpooledText& report) override {
        std::lock_guard lock(mutex_);
        report_ = report.toString();
        log_.push_back("report");
    }
    bool deleteOption() override {
        std::lock_guard lock(mutex_);
        return deleteOption_;
    }
    void enableStart(bool on) override { record(on ? "start on" : "start off"); }
    void enableStop(bool on) override { record(on ? "stop on" : "stop off"); }
    void enableDeleteOption(bool on) override { record(on ? "option on" : "option off"); }
    void messageBox(const std::string& text) override { record("box " + text); }
    RunOptions runOptions() override {
        std::lock_guard lock(mutex_);
        return options_;
    }
    void setRunOptions(const RunOptions& options) {
        std::lock_guard lock(mutex_);
        options_ = options;
    }

    std::string report() const {
        std::lock_guard lock(mutex_);
        return report_;
    }
    std::string statusLine() const {
        std::lock_guard lock(mutex_);
        return statusLine_;
    }
    std::string rowStatus(int row) const {
        std::lock_guard lock(mutex_);
        return rows_.at(static_cast<std::size_t>(row)).status;
    }
    std::vector<std::string> log() const {
        std::lock_guard lock(mutex_);
        return log_;
    }
    // Every call that changes what the window shows, counted.
    std::size_t visibleChanges() const {
        std::lock_guard lock(mutex_);
        return log_.size() + statusCalls_;
    }

private:
    void record(const std::string& what) {
        std::lock_guard lock(mutex_);
        log_.push_back(what);
    }

    mutable std::mutex mutex_;
    std::vector<Row> rows_;
    bool deleteOption_;
    RunOptions options_;
    std::string report_;
    std::string statusLine_;
    std::size_t statusCalls_ = 0;
    std::vector<std::string> log_;
};

} // namespace kestrova::test
