// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "cli/Arguments.h"
#include "report/SyncWindow.h"
#include "settings/RunRecord.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

namespace kestrova {

// The window of a command-line run: every pair is checked, the report is written to
// `out` as it grows (with "\n" line ends), the status line is kept for the progress
// display and the final message is kept for the caller. `doneFd`, when not -1, is an
// eventfd written once the run shows its final message. With `progress` set, the
// progress line there is wiped before report text is written, so that the two do
// not run together on one terminal. With `errors` set, every failed entry's reason and
// a report that cannot be written are said there, one line each.
class CommandWindow : public SyncWindow {
public:
    CommandWindow(std::vector<FolderPair> pairs, bool deleteOption, std::FILE* out, int doneFd = -1,
                  std::FILE* progress = nullptr, std::FILE* errors = nullptr);

    int rowCount() override;
    int rowCheckState(int row) override;
    std::string rowSource(int row) override;
    std::string rowTarget(int row) override;
    void setRowStatus(int row, const std::string& text) override;
    void setStatusLine(const std::string& text) override;
    void setReport(const SpooledText& report) override;
    bool deleteOption() override;
    void enableStart(bool) override {}
    void enableStop(bool) override {}
    void enableDeleteOption(bool) override {}
    void messageBox(const std::string& text) override;
    void entryFailed(const std::string& path, const EntryFailure& failure) override;
    RunOptions runOptions() override { return options_; }
    void setRunOptions(const RunOptions& options) { options_ = options; }

    std::string statusLine() const;
    std::string finalMessage() const;
    std::string rowStatus(int row) const;
    // 0 while the whole report has been written, else the errno that stopped it. Read
    // once the worker has ended.
    int reportError() const { return reportError_; }
    // Held while writing to the terminal, by the report and by the progress display.
    std::mutex& outputMutex() { return outputMutex_; }
    // The pairs and failures of the run for the run record, once the worker has ended
    // (the time, the exit status and the run's totals are the caller's to fill in).
    RecordedRun recordedRun() const;

private:
    // Writes "kestrova-sync: " and `line` to `errors`; the output mutex must be held.
    void sayError(const std::string& line);

    const std::vector<FolderPair> pairs_;
    const bool deleteOption_;
    RunOptions options_;
    std::FILE* out_;
    const int doneFd_;
    std::FILE* progress_;
    std::FILE* errors_;
    std::mutex outputMutex_;
    // The report written so far: which one, and how many of its bytes.
    std::uint64_t printedReport_ = 0;
    std::uint64_t printed_ = 0;
    int reportError_ = 0;

    // Written by the worker only, read once it has ended.
    struct PairStart {
        RunCounts counts;
        std::uint64_t skipped = 0;
        std::uint64_t reportSize = 0; // where the pair's block starts in the report
    };
    PairStart pairStart_;
    std::uint64_t reportSize_ = 0;
    std::string pairNote_; // the third line of the last block: a skip reason, if any
    std::vector<RecordedPair> recorded_;
    std::vector<std::string> failures_;
    std::uint64_t failuresNotListed_ = 0;

    mutable std::mutex mutex_; // guards what other threads read below
    std::string statusLine_;
    std::string finalMessage_;
    std::vector<std::string> rowStatus_;
};

} // namespace kestrova
