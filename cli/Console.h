#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace kestrova {

// Readies the process for a run before anything else happens: on Linux the stop
// signals wait for the run, a report reader that goes away fails writes instead of
// ending the process, and closed standard streams are held open on /dev/null.
void PrepareProcess();

// The command's arguments (without the program's name) as UTF-8.
std::vector<std::string> CommandArguments(int argc, char** argv);

// Standard error when it is a terminal, for the progress display, else null. Sets
// the terminal up for UTF-8 text and for the display's control sequences.
std::FILE* ProgressStream();

} // namespace kestrova
