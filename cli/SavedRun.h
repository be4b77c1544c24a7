// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "cli/Arguments.h"

#include <string>

namespace kestrova {

// For `--saved`: fills `args.pairs` with every pair of the saved pair list
// (check marks are not saved, so every pair runs) and, each unless the command line
// chose it, the delete, trash and deleted-list options with the saved ones. Returns an empty
// text on success, or what is wrong for standard error: a pair list that is
// missing, unreadable or empty gives nothing to run.
std::string UseSavedPairs(Arguments& args, const std::string& pairListFile,
                          const std::string& settingsFile);

} // namespace kestrova
