#pragma once

#include "cli/Arguments.h"

#include <string>

namespace kestrova {

// For `--saved`: fills `args.pairs` with every pair of the saved pair list
// (check marks are not saved, so every pair runs) and, unless the command line
// chose, `args.deleteOption` with the saved delete option. Returns an empty
// text on success, or what is wrong for standard error: a pair list that is
// missing, unreadable or empty gives nothing to run.
std::string UseSavedPairs(Arguments& args, const std::string& pairListFile,
                          const std::string& settingsFile);

} // namespace kestrova
