// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include <string>

namespace kestrova {

// The line the window opens with when the run record in `recordFile` holds a run: the
// newest scheduled run's time and outcome, and for a failure where its details are.
// Empty when there is no record.
std::string LastRunLine(const std::string& recordFile);

} // namespace kestrova
