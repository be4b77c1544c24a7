#pragma once

#include "cli/Arguments.h"
#include "sync/SyncWindow.h"

#include <cstddef>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

namespace kestrova {

// The window of a command-line run: every pair is checked, the report is written to
// `out` as it grows (with "\n" line ends), the status line is kept for the progress
// display and the final message is kept for the caller. `doneFd`, when not -1, is an
// eventfd written once the run shows its final message.
class CommandWindow : public SyncWindow {
public:
    CommandWindow(std::vector<FolderPair> pairs, bool deleteOption, std::FILE* out,
                  int doneFd = -1);

    int rowCount() override;
    int rowCheckState(int row) override;
    std::string rowSource(int row) override;
    std::string rowTarget(int row) override;
    void setRowStatus(int row, const std::string& text) override;
    void setStatusLine(const std::string& text) override;
    void setReport(const std::string& text) override;
    bool deleteOption() override;
    void enableStart(bool) override {}
    void enableStop(bool) override {}
    void enableDeleteOption(bool) override {}
    void messageBox(const std::string& text) override;

    std::string statusLine() const;
    std::string finalMessage() const;
    std::string rowStatus(int row) const;

private:
    const std::vector<FolderPair> pairs_;
    const bool deleteOption_;
    std::FILE* out_;
    const int doneFd_;
    std::size_t printed_ = 0; // bytes of the report already written

    mutable std::mutex mutex_; // guards what other threads read below
    std::string statusLine_;
    std::string finalMessage_;
    std::vector<std::string> rowStatus_;
};

} // namespace kestrova
