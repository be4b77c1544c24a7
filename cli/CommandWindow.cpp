#include "cli/CommandWindow.h"

#include "i18n/Translate.h"
#include "sync/FailureLine.h"

#include <cerrno>
#include <cstdint>
#include <unistd.h>

namespace kestrova {

CommandWindow::CommandWindow(std::vector<FolderPair> pairs, bool deleteOption, std::FILE* out,
                             int doneFd, std::FILE* progress, std::FILE* errors)
    : pairs_(std::move(pairs)), deleteOption_(deleteOption), out_(out), doneFd_(doneFd),
      progress_(progress), errors_(errors), rowStatus_(pairs_.size()) {}

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
    std::lock_guard lock(outputMutex_);
    if (reportError_ != 0) {
        return;
    }
    if (progress_ != nullptr) {
        std::fputs("\r\033[K", progress_);
        std::fflush(progress_);
    }
    errno = 0;
    bool written = true;
    // A CR at the end of one piece is held back until the next shows what follows it.
    bool heldReturn = false;
    const bool read = report.forEachPiece(printed_, report.size(), [&](std::string_view text) {
        if (heldReturn && text.front() != '\n') {
            written = std::fputc('\r', out_) != EOF && written;
        }
        heldReturn = false;
        std::size_t from = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] != '\r') {
                continue;
            }
            if (i + 1 == text.size() || text[i + 1] == '\n') {
                written = std::fwrite(text.data() + from, 1, i - from, out_) == i - from && written;
                from = i + 1;
                heldReturn = i + 1 == text.size();
            }
        }
        const std::size_t rest = text.size() - from;
        written = std::fwrite(text.data() + from, 1, rest, out_) == rest && written;
    });
    if (heldReturn) {
        written = std::fputc('\r', out_) != EOF && written;
    }
    written = std::fflush(out_) == 0 && written;
    printed_ = report.size();
    if (!written || !read) {
        reportError_ = !read ? EIO : errno != 0 ? errno : EIO;
        sayError(Translate("cannot write the report: %1", {ReasonText(reportError_)}));
    }
}

void CommandWindow::entryFailed(const std::string& path, const EntryFailure& failure) {
    std::lock_guard lock(outputMutex_);
    sayError(FailureLine(path, failure));
}

void CommandWindow::sayError(const std::string& line) {
    if (errors_ == nullptr) {
        return;
    }
    if (progress_ != nullptr) {
        std::fputs("\r\033[K", progress_);
        std::fflush(progress_);
    }
    std::fprintf(errors_, "kestrova-sync: %s\n", line.c_str());
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
