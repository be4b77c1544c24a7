// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

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

// The window's options: the delete option and, each under its own key in section
// `setup`, whether each pair's block lists what was deleted (`opt_listdeleted`) and
// whether deleted and replaced files go to the trash (`opt_trash`). Each is read as
// ReadOption reads its key; the two later ones are 0 (clear) when missing.
struct WindowOptions {
    int deleteOption = 1;
    int listDeleted = 0;
    int trash = 0;
    friend bool operator==(const WindowOptions&, const WindowOptions&) = default;
};

WindowOptions ReadWindowOptions(const std::string& settingsFile);

// Stores all three in one replacement of the file, as WriteOption does. The two
// later keys are added only once set, so the file of someone who never set them
// keeps the lines it had.
SaveResult WriteWindowOptions(const WindowOptions& options, const std::string& settingsFile,
                              SaveFileSystem& fs);

} // namespace kestrova
