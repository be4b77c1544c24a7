// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "report/EntryFailure.h"

#include <string>

namespace kestrova {

// What the command and the window say about a failed entry, in the user's language.

// The system's text for an errno value, taken in a thread-safe way.
std::string SystemErrorText(int error);

// The reason in plain words: the system's text for an errno value, or the run's own.
std::string ReasonText(int reason);

// What failed and why, on one line: "cannot copy PATH: No space left on device",
// with the path shown as the report shows it.
std::string FailureLine(const std::string& path, const EntryFailure& failure);

} // namespace kestrova
