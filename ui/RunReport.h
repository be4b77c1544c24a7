#pragma once

// The report pane's text while a run writes its report: the report as the engine
// writes it, with the reasons for a pair's failures put at the end of that pair's
// block, above the separator that ends it. Shared by both windows.

#include <string>

namespace kestrova {

struct EntryFailure;

class RunReport {
public:
    // A new run starts with an empty pane.
    void clear();
    void entryFailed(const std::string& path, const EntryFailure& failure);
    // Takes the run's whole report so far; returns the pane's text.
    const std::string& update(const std::string& report);

private:
    // The report as it last came, what the pane shows, and the reasons not yet shown.
    std::string m_runReport;
    std::string m_shownReport;
    std::string m_failureLines;
};

} // namespace kestrova
