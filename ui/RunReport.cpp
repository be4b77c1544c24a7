#include "ui/RunReport.h"

#include "i18n/Translate.h"
#include "sync/FailureLine.h"
#include "sync/SyncTexts.h"

#include <string_view>

namespace kestrova {

namespace {

const char* const kFailureReasonsHeading = "以下是失敗的原因\r\n";

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
    std::string added;
    if (report.compare(0, m_runReport.size(), m_runReport) == 0) {
        added = report.substr(m_runReport.size());
    } else {
        m_shownReport.clear();
        added = report;
    }
    m_runReport = report;
    if (!m_failureLines.empty()) {
        const std::string_view separator = texts::kSeparator;
        const std::size_t at =
            added.ends_with(separator) ? added.size() - separator.size() : added.size();
        added.insert(at, Translate(kFailureReasonsHeading) + m_failureLines + texts::kLineEnd);
        m_failureLines.clear();
    }
    m_shownReport += added;
    return m_shownReport;
}

} // namespace kestrova
