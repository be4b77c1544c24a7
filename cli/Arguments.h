#pragma once

#include <string>
#include <vector>

namespace kestrova {

struct FolderPair {
    std::string source;
    std::string target;
};

// What the command line asks for.
struct Arguments {
    enum class Action { Run, Help, Version, UsageError };
    Action action = Action::Run;
    bool deleteOption = false;
    std::vector<FolderPair> pairs;
    std::string error; // for UsageError: what was wrong
};

// Parses `kestrova-sync [--delete] SOURCE TARGET [SOURCE TARGET ...]`, `--help` and
// `--version`. "--" ends the options, for folders whose names begin with "-".
Arguments ParseArguments(const std::vector<std::string>& args);

std::string UsageText();
std::string VersionText();

} // namespace kestrova
