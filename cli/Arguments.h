#pragma once

#include "sync/RunOptions.h"

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
    bool deleteChosen = false; // --delete or --no-delete was given
    bool saved = false;        // --saved: run the pairs saved by the window
    RunOptions options;        // --dry-run, --list-deleted, --max-delete N, --trash
    std::vector<FolderPair> pairs;
    std::string error; // for UsageError: what was wrong
};

// Parses `kestrova-sync [--delete] SOURCE TARGET [SOURCE TARGET ...]`,
// `kestrova-sync --saved [--delete | --no-delete]`, `--help` and `--version`, each run
// with any of --dry-run, --list-deleted, --max-delete N and --trash.
// "--" ends the options, for folders whose names begin with "-".
Arguments ParseArguments(const std::vector<std::string>& args);

std::string UsageText();
std::string VersionText();

} // namespace kestrova
