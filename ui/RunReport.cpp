// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/RunReport.h"

#include "i18n/Translatable.h"
#include "i18n/Translate.h"
#include "report/FailureLine.h"
#include "report/SyncTexts.h"

#include <cstring>

namespace kestrova {

namespace {

const char* const kFailureReasonsHeading = Translatable("以下是失敗的原因\r\n");

} // namespace

void RunReport::clear() {
    m_cleared = true;
    m_shown = 0;
    m_failureLines.clear();
}

void RunReport::entryFailed(const std::string& path, const EntryFailure& failure) {
    m_failureLines.append(FailureLine(path, failure));
    m_failureLines.append(texts::kLineEnd);
}

bool RunReport::startsAnew(const SpooledText& report) const {
    return m_cleared || report.identity() != m_report || report.size() < m_shown;
}

// The report only grows while a run works: what it adds is a pair's block.
void RunReport::update(const SpooledText& report,
                       const std::function<void(std::string_view)>& add) {
    if (startsAnew(report)) {
        m_cleared = false;
        m_report = report.identity();
        m_shown = 0;
    }
    const std::uint64_t end = report.size();
    if (m_failureLines.empty()) {
        report.forEachPiece(m_shown, end, add);
    } else {
        const std::size_t separatorSize = std::strlen(texts::kSeparator);
        std::uint64_t at = end;
        if (end - m_shown >= separatorSize) {
            std::string last(separatorSize, '\0');
            if (report.read(end - separatorSize, separatorSize, last.data()) &&
                last == texts::kSeparator) {
                at = end - separatorSize;
            }
        }
        report.forEachPiece(m_shown, at, add);
        add(Translate(kFailureReasonsHeading));
        m_failureLines.forEachPiece(0, m_failureLines.size(), add);
        add(texts::kLineEnd);
        report.forEachPiece(at, end, add);
        m_failureLines.clear();
    }
    m_shown = end;
}

} // namespace kestrova
