// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

// Readies the process for a run before anything else happens: on Linux the stop
// signals wait for the run, a report reader that goes away fails writes instead of
// ending the process, and closed standard streams are held open on /dev/null.
void PrepareProcess();

// The command's arguments (without the program's name) as UTF-8.
std::vector<std::string> CommandArguments(int argc, char** argv);

// Standard error when it is a terminal that takes the progress display's control
// sequences, else null. On Windows the console is set up for them, and put back as
// it was found when the program ends.
std::FILE* ProgressStream();

// Writes the UTF-8 `text` to `stream`: as it is to files, pipes and terminals; to a
// Windows console through the wide-character console call, so that it shows
// whatever the console's code page. Whether all of it was written.
bool WriteText(std::FILE* stream, std::string_view text);

} // namespace kestrova
