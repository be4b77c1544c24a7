// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "report/RunOptions.h"

#include <string>
#include <vector>

namespace kestrova {

struct FolderPair {
    std::string source;
    std::string target;
};

// What the command line asks for.
struct Arguments {
    enum class Action { Run, Help, Version, UsageError, NotifyFailure };
    Action action = Action::Run;
    bool deleteOption = false;
    bool deleteChosen = false;      // --delete or --no-delete was given
    bool trashChosen = false;       // --trash or --no-trash was given
    bool listDeletedChosen = false; // --list-deleted or --no-list-deleted was given
    bool saved = false;             // --saved: run the pairs saved by the window
    bool record = false;            // --record: add the run to the run record (Linux)
    RunOptions options;             // --dry-run, --list-deleted, --max-delete N, --trash
    std::vector<FolderPair> pairs;
    std::string error; // for UsageError: what was wrong
};

// Parses `kestrova-sync [--delete] SOURCE TARGET [SOURCE TARGET ...]`,
// `kestrova-sync --saved [--delete | --no-delete]`, `--help` and `--version`, each run
// with any of --dry-run, --list-deleted, --max-delete N and --trash, their --no-
// forms, and on Linux --record; and on Linux `--notify-failure`.
// "--" ends the options, for folders whose names begin with "-".
Arguments ParseArguments(const std::vector<std::string>& args);

std::string UsageText();
// What a usage error prints on standard error: the error, and where help is found.
std::string UsageErrorText(const std::string& error);
std::string VersionText();

} // namespace kestrova
