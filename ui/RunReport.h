// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// The report pane's text while a run writes its report: the report as the engine
// writes it, with the reasons for a pair's failures put at the end of that pair's
// block, above the separator that ends it. Shared by both windows, which keep the
// text themselves: the pane's text for what the report added comes in pieces.

#include "report/SpooledText.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kestrova {

struct EntryFailure;

class RunReport {
public:
    // A new run starts with an empty pane.
    void clear();
    void entryFailed(const std::string& path, const EntryFailure& failure);
    // Whether `report` replaces the text the pane shows rather than continuing it: a
    // new run's first report, or another report altogether.
    bool startsAnew(const SpooledText& report) const;
    // Hands the pane's text for what `report` added since the last update to `add`, in
    // order; when the report starts anew, that is all of it.
    void update(const SpooledText& report, const std::function<void(std::string_view)>& add);

private:
    // The report the pane shows and how much of it; the reasons not yet shown.
    std::uint64_t m_report = 0;
    std::uint64_t m_shown = 0;
    bool m_cleared = true;
    SpooledText m_failureLines;
};

} // namespace kestrova
