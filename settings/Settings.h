#pragma once

#include "settings/SaveFileSystem.h"
#include "settings/SaveResult.h"

#include <string>

namespace kestrova {

// The delete option: whether a run also deletes from each target what no
// longer exists in its source. Stored as `opt_delnone` in section `setup` of
// "Kestrova.ini"; 1 (set) when the file, section or key is missing.
int ReadOption();
int ReadOption(const std::string& settingsFile);

// Stores the option as decimal text, keeping every other line of the file.
// Callers may ignore the result: a failed write leaves the old file as it was.
// A file that exists but cannot be read is not replaced, so that its other
// contents are not lost.
SaveResult WriteOption(int value);
SaveResult WriteOption(int value, const std::string& settingsFile, SaveFileSystem& fs);

} // namespace kestrova
