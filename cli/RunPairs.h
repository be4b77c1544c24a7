#pragma once

#include "cli/Arguments.h"

#include <cstdio>
#include <vector>

namespace kestrova {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailures = 1; // a copy failed or a pair was skipped
inline constexpr int kExitUsage = 2;
inline constexpr int kExitStopped = 130; // SIGINT or SIGTERM

// Runs `pairs` (all checked) with the given delete option on the one sync worker,
// writing the report to `report`. With `progress` not null, a one-line progress
// display is kept there, redrawn a few times a second. SIGINT and SIGTERM stop the
// run as the Stop button does. Returns the command's exit status.
int RunPairs(const std::vector<FolderPair>& pairs, bool deleteOption, std::FILE* report,
             std::FILE* progress);

} // namespace kestrova
