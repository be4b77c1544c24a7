#include "ui/RunReport.h"

#include "i18n/Translatable.h"
#include "i18n/Translate.h"
#include "sync/FailureLine.h"
#include "sync/SyncTexts.h"

#include <string_view>

namespace kestrova {

namespace {

const char* const kFailureReasonsHeading = Translatable("以下是失敗的原因\r\n");

} // namespace

void RunReport::clear() {
    m_runReport.clear();
    m_shownReport.clear();
    m_failureLines.clear();
}

void RunReport::entryFailed(const std::string& path, const EntryFailure& failure) {
    m_failureLines += FailureLine(path, failure);
    m_failureLines += texts::kLineEnd;
}

// The report only grows while a run works: what it adds is a pair's block.
const std::string& RunReport::update(const std::string& report) {
    // The pane's text is appended to in place: a report of 100,000 paths is copied
    // once into the pane's text and once to compare with the next.
    std::string_view added = report;
    if (report.compare(0, m_runReport.size(), m_runReport) == 0) {
        added.remove_prefix(m_runReport.size());
    } else {
        m_shownReport.clear();
    }
    if (m_failureLines.empty()) {
        m_shownReport += added;
    } else {
        const std::string_view separator = texts::kSeparator;
        const std::size_t at =
            added.ends_with(separator) ? added.size() - separator.size() : added.size();
        m_shownReport += added.substr(0, at);
        m_shownReport += Translate(kFailureReasonsHeading);
        m_shownReport += m_failureLines;
        m_shownReport += texts::kLineEnd;
        m_shownReport += added.substr(at);
        m_failureLines.clear();
    }
    m_runReport = report;
    return m_shownReport;
}

} // namespace kestrova
