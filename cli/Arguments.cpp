// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "cli/Arguments.h"

#include "i18n/Translate.h"

#include <charconv>

namespace kestrova {

namespace {

// A count of entries: digits only, no sign, no more than fits.
bool ParseCount(const std::string& text, std::int64_t& count) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, count);
    return !text.empty() && text[0] != '-' && error == std::errc() && stop == end;
}

} // namespace

Arguments ParseArguments(const std::vector<std::string>& args) {
    Arguments parsed;
    std::vector<std::string> paths;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            paths.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--delete" || arg == "--no-delete") {
            parsed.deleteOption = arg == "--delete";
            parsed.deleteChosen = true;
        } else if (arg == "--saved") {
            parsed.saved = true;
        } else if (arg == "--dry-run") {
            parsed.options.preview = true;
        } else if (arg == "--trash" || arg == "--no-trash") {
            parsed.options.trash = arg == "--trash";
            parsed.trashChosen = true;
        } else if (arg == "--list-deleted" || arg == "--no-list-deleted") {
            parsed.options.listDeleted = arg == "--list-deleted";
            parsed.listDeletedChosen = true;
#ifndef _WIN32
        } else if (arg == "--record") {
            parsed.record = true;
        } else if (arg == "--notify-failure") {
            parsed.action = Arguments::Action::NotifyFailure;
#endif
        } else if (arg == "--max-delete" || arg.rfind("--max-delete=", 0) == 0) {
            const bool joined = arg != "--max-delete";
            const std::string count =
                joined ? arg.substr(arg.find('=') + 1) : (i + 1 < args.size() ? args[++i] : "");
            if (!ParseCount(count, parsed.options.maxDelete)) {
                parsed.action = Arguments::Action::UsageError;
                parsed.error = Translate("--max-delete takes a count of entries");
                return parsed;
            }
        } else if (arg == "--help" || arg == "-h") {
            parsed.action = Arguments::Action::Help;
            return parsed;
        } else if (arg == "--version") {
            parsed.action = Arguments::Action::Version;
            return parsed;
        } else {
            parsed.action = Arguments::Action::UsageError;
            parsed.error = Translate("unknown option %1", {arg});
            return parsed;
        }
    }
    if (parsed.action == Arguments::Action::NotifyFailure) {
        return parsed;
    }
    if (parsed.saved && !paths.empty()) {
        parsed.action = Arguments::Action::UsageError;
        parsed.error = Translate("--saved takes no folders");
        return parsed;
    }
    if (!parsed.saved && (paths.empty() || paths.size() % 2 != 0)) {
        parsed.action = Arguments::Action::UsageError;
        parsed.error = paths.empty() ? Translate("no folders given")
                                     : Translate("a source folder has no target folder");
        return parsed;
    }
    for (std::size_t i = 0; i < paths.size(); i += 2) {
        parsed.pairs.push_back({paths[i], paths[i + 1]});
    }
    return parsed;
}

std::string UsageText() {
    std::string text = Translate(
        "Usage: kestrova-sync [OPTIONS] [--delete] SOURCE TARGET [SOURCE TARGET ...]\n"
        "       kestrova-sync [OPTIONS] --saved\n"
        "Brings each TARGET folder up to date with its SOURCE folder: copies every file\n"
        "that is missing from the target or whose modification time differs, and creates\n"
        "the subfolders. The report goes to standard output.\n"
        "\n"
        "  --delete   also delete from each target what no longer exists in its source\n"
        "  --no-delete\n"
        "             keep in each target what no longer exists in its source\n"
        "  --saved    run every pair saved by the Kestrova window, with the window's\n"
        "             saved options unless the command line gives them\n"
        "  --trash, --no-trash\n"
        "             move what is deleted from a target, and what a copy replaces\n"
        "             there, to the trash of the file system that holds it (or do not)\n"
        "  --list-deleted, --no-list-deleted\n"
        "             list in each pair's block what was deleted from its target (or do\n"
        "             not)\n"
        "  --dry-run  change nothing: report what a run would copy and delete\n"
        "  --max-delete N\n"
        "             delete nothing from a target that would lose more than N files\n"
        "             and folders, and say so\n"
        "  --help     show this text\n"
        "  --version  show the version\n");
    // What stops a run, how names are shown, and the record of scheduled runs differ
    // between the platforms.
#ifdef _WIN32
    text += Translate(
        "\n"
        "The reason for each failure goes to standard error. Names are shown with control\n"
        "characters and invalid UTF-8 escaped as \\xHH.\n"
        "\n"
        "Exit status: 0 when every pair ran without a failure; 1 when something failed, a\n"
        "pair or its deletions were skipped, or the report could not be written; 2 for a\n"
        "usage error or no saved pairs; 130 when Ctrl+C or Ctrl+Break stopped the run\n"
        "before its end.\n");
#else
    text += Translate(
        "  --record   add an account of the run to the run record,\n"
        "             $XDG_STATE_HOME/kestrova/runs.log\n"
        "  --notify-failure\n"
        "             show a desktop notification of the newest recorded run's failure\n"
        "\n"
        "The reason for each failure goes to standard error. Names are shown with control\n"
        "characters, invalid UTF-8 and backslashes escaped as \\xHH and \\\\.\n"
        "\n"
        "Exit status: 0 when every pair ran without a failure; 1 when something failed, a\n"
        "pair or its deletions were skipped, or the report or the run record could not\n"
        "be written; 2 for a usage error or no saved pairs; 130 when SIGINT, SIGTERM,\n"
        "SIGHUP or SIGQUIT stopped the run before its end.\n");
#endif
    return text;
}

std::string UsageErrorText(const std::string& error) {
    return "kestrova-sync: " + error + "\n" +
           Translate("Try 'kestrova-sync --help' for more information.") + "\n";
}

std::string VersionText() {
    return std::string("kestrova-sync ") + KESTROVA_VERSION + "\n";
}

} // namespace kestrova
