#include "cli/CommandWindow.h"

#include <cstdint>
#include <unistd.h>

namespace kestrova {

CommandWindow::CommandWindow(std::vector<FolderPair> pairs, bool deleteOption, std::FILE* out,
                             int doneFd)
    : pairs_(std::move(pairs)), deleteOption_(deleteOption), out_(out), doneFd_(doneFd),
      rowStatus_(pairs_.size()) {}

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

// The report only ever grows within a run, so only its new part is written.
void CommandWindow::setReport(const std::string& text) {
    if (text.size() < printed_) {
        printed_ = 0;
    }
    std::string lines;
    lines.reserve(text.size() - printed_);
    for (std::size_t i = printed_; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        lines += text[i];
    }
    printed_ = text.size();
    std::fwrite(lines.data(), 1, lines.size(), out_);
    std::fflush(out_);
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
