#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace kestrova {

// The command's arguments (without the program's name) as UTF-8.
std::vector<std::string> CommandArguments(int argc, char** argv);

// Standard error when it is a terminal, for the progress display, else null. Sets
// the terminal up for UTF-8 text and for the display's control sequences.
std::FILE* ProgressStream();

} // namespace kestrova
