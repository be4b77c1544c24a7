// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "cli/CommandWindow.h"

#include "cli/Console.h"
#include "i18n/Translate.h"
#include "report/FailureLine.h"
#include "report/SyncStats.h"
#include "report/SyncTexts.h"
#include "report/VisibleText.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string_view>
#include <unistd.h>

namespace kestrova {

namespace {

RunCounts CountsNow() {
    return {g_syncStats.filesExamined.load(), g_syncStats.filesCopied.load(),
            g_syncStats.filesFailed.load()};
}

// The third line of a pair's block, after "From" and "To": where the run says why the
// pair or its deletions were skipped. Only the block's first lines are read.
std::string ThirdLine(const SpooledText& report, std::uint64_t blockStart) {
    constexpr std::uint64_t kHead = 64 * 1024;
    if (blockStart >= report.size()) {
        return {};
    }
    std::string head(std::min(kHead, report.size() - blockStart), '\0');
    if (!report.read(blockStart, head.size(), head.data())) {
        return {};
    }
    const std::string_view block = head;
    std::size_t start = 0;
    for (int line = 0; line < 2 && start != std::string_view::npos; ++line) {
        start = block.find(texts::kLineEnd, start);
        start = start == std::string_view::npos ? start : start + 2;
    }
    if (start == std::string_view::npos) {
        return {};
    }
    return std::string(block.substr(start, block.find(texts::kLineEnd, start) - start));
}

} // namespace

CommandWindow::CommandWindow(std::vector<FolderPair> pairs, bool deleteOption, std::FILE* out,
                             int doneFd, std::FILE* progress, std::FILE* errors)
    : pairs_(std::move(pairs)), deleteOption_(deleteOption), out_(out), doneFd_(doneFd),
      progress_(progress), errors_(errors), recorded_(pairs_.size()), rowStatus_(pairs_.size()) {
    for (std::size_t i = 0; i < pairs_.size(); ++i) {
        recorded_[i].source = VisibleText(pairs_[i].source);
        recorded_[i].target = VisibleText(pairs_[i].target);
    }
}

int CommandWindow::rowCount() {
    return static_cast<int>(pairs_.size());
}

int CommandWindow::rowCheckState(int) {
    return 2;
}

std::string CommandWindow::rowSource(int row) {
    return pairs_.at(static_cast<std::size_t>(row)).source;
}

std::string CommandWindow::rowTarget(int row) {
    return pairs_.at(static_cast<std::size_t>(row)).target;
}

void CommandWindow::setRowStatus(int row, const std::string& text) {
    const bool starts = text == Translate(texts::kInProgress);
    if (starts) {
        pairStart_ = {CountsNow(), g_syncStats.pairsSkipped.load(), reportSize_};
    } else {
        RecordedPair& pair = recorded_.at(static_cast<std::size_t>(row));
        const RunCounts now = CountsNow();
        pair.counts = {now.examined - pairStart_.counts.examined,
                       now.copied - pairStart_.counts.copied,
                       now.failed - pairStart_.counts.failed};
        if (text == Translate(texts::kSkipped)) {
            pair.outcome = RecordedPair::Outcome::Skipped;
            pair.reason = pairNote_;
        } else if (g_syncStats.pairsSkipped.load() != pairStart_.skipped) {
            pair.outcome = RecordedPair::Outcome::DeletionsSkipped;
            pair.reason = pairNote_;
        } else {
            pair.outcome = RecordedPair::Outcome::Done;
        }
    }
    std::lock_guard lock(mutex_);
    rowStatus_.at(static_cast<std::size_t>(row)) = text;
}

void CommandWindow::setStatusLine(const std::string& text) {
    std::lock_guard lock(mutex_);
    statusLine_ = text;
}

// The report only ever grows within a run, so only its new part is written, in
// runs between the carriage returns that are left out. Once a write has failed the
// report is not continued, as it could no longer be read whole.
void CommandWindow::setReport(const SpooledText& report) {
    if (report.identity() != printedReport_ || report.size() < printed_) {
        printedReport_ = report.identity();
        printed_ = 0;
    }
    pairNote_ = ThirdLine(report, pairStart_.reportSize);
    reportSize_ = report.size();
    std::lock_guard lock(outputMutex_);
    if (reportError_ != 0) {
        return;
    }
    if (progress_ != nullptr) {
        WriteText(progress_, "\r\033[K");
        std::fflush(progress_);
    }
    errno = 0;
    bool written = true;
    // A CR at the end of one piece is held back until the next shows what follows it.
    bool heldReturn = false;
    const bool read = report.forEachPiece(printed_, report.size(), [&](std::string_view text) {
        if (heldReturn && text.front() != '\n') {
            written = WriteText(out_, "\r") && written;
        }
        heldReturn = false;
        std::size_t from = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] != '\r') {
                continue;
            }
            if (i + 1 == text.size() || text[i + 1] == '\n') {
                written = WriteText(out_, text.substr(from, i - from)) && written;
                from = i + 1;
                heldReturn = i + 1 == text.size();
            }
        }
        written = WriteText(out_, text.substr(from)) && written;
    });
    if (heldReturn) {
        written = WriteText(out_, "\r") && written;
    }
    written = std::fflush(out_) == 0 && written;
    printed_ = report.size();
    if (!written || !read) {
        reportError_ = !read ? EIO : errno != 0 ? errno : EIO;
        sayError(Translate("cannot write the report: %1", {ReasonText(reportError_)}));
    }
}

void CommandWindow::entryFailed(const std::string& path, const EntryFailure& failure) {
    const std::string line = FailureLine(path, failure);
    // A skipped pair's reason is recorded with the pair itself, not again as a failure.
    if (failure.step != EntryFailure::Step::SkipPair) {
        if (failures_.size() < kRecordedFailures) {
            failures_.push_back(line);
        } else {
            ++failuresNotListed_;
        }
    }
    std::lock_guard lock(outputMutex_);
    sayError(line);
}

void CommandWindow::sayError(const std::string& line) {
    if (errors_ == nullptr) {
        return;
    }
    if (progress_ != nullptr) {
        WriteText(progress_, "\r\033[K");
        std::fflush(progress_);
    }
    WriteText(errors_, "kestrova-sync: " + line + "\n");
    std::fflush(errors_);
}

bool CommandWindow::deleteOption() {
    return deleteOption_;
}

void CommandWindow::messageBox(const std::string& text) {
    {
        std::lock_guard lock(mutex_);
        finalMessage_ = text;
    }
    if (doneFd_ >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(doneFd_, &one, sizeof one);
    }
}

RecordedRun CommandWindow::recordedRun() const {
    RecordedRun run;
    run.pairs = recorded_;
    run.failures = failures_;
    run.failuresNotListed = failuresNotListed_;
    return run;
}

std::string CommandWindow::statusLine() const {
    std::lock_guard lock(mutex_);
    return statusLine_;
}

std::string CommandWindow::finalMessage() const {
    std::lock_guard lock(mutex_);
    return finalMessage_;
}

std::string CommandWindow::rowStatus(int row) const {
    std::lock_guard lock(mutex_);
    return rowStatus_.at(static_cast<std::size_t>(row));
}

} // namespace kestrova
