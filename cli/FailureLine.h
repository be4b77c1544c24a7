#pragma once

#include "sync/EntryFailure.h"

#include <string>

namespace kestrova {

// The reason in plain words: the system's text for an errno value, or the run's own.
std::string ReasonText(int reason);

// What failed and why, for standard error: "cannot copy PATH: No space left on
// device", with the path shown as the report shows it.
std::string FailureLine(const std::string& path, const EntryFailure& failure);

} // namespace kestrova
