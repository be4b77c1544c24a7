#include "cli/Arguments.h"

namespace kestrova {

Arguments ParseArguments(const std::vector<std::string>& args) {
    Arguments parsed;
    std::vector<std::string> paths;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            paths.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--delete" || arg == "--no-delete") {
            parsed.deleteOption = arg == "--delete";
            parsed.deleteChosen = true;
        } else if (arg == "--saved") {
            parsed.saved = true;
        } else if (arg == "--help" || arg == "-h") {
            parsed.action = Arguments::Action::Help;
            return parsed;
        } else if (arg == "--version") {
            parsed.action = Arguments::Action::Version;
            return parsed;
        } else {
            parsed.action = Arguments::Action::UsageError;
            parsed.error = "unknown option " + arg;
            return parsed;
        }
    }
    if (parsed.saved && !paths.empty()) {
        parsed.action = Arguments::Action::UsageError;
        parsed.error = "--saved takes no folders";
        return parsed;
    }
    if (!parsed.saved && (paths.empty() || paths.size() % 2 != 0)) {
        parsed.action = Arguments::Action::UsageError;
        parsed.error = paths.empty() ? "no folders given" : "a source folder has no target folder";
        return parsed;
    }
    for (std::size_t i = 0; i < paths.size(); i += 2) {
        parsed.pairs.push_back({paths[i], paths[i + 1]});
    }
    return parsed;
}

std::string UsageText() {
    return "Usage: kestrova-sync [--delete] SOURCE TARGET [SOURCE TARGET ...]\n"
           "       kestrova-sync --saved [--delete | --no-delete]\n"
           "Brings each TARGET folder up to date with its SOURCE folder: copies every\n"
           "file that is missing in the target or whose modification time differs, and\n"
           "creates the sub-folders. The report goes to standard output.\n"
           "\n"
           "  --delete   also remove from each target what no longer exists in its source\n"
           "  --no-delete\n"
           "             keep in each target what no longer exists in its source\n"
           "  --saved    run every pair saved by the Kestrova window, with its saved\n"
           "             delete option unless --delete or --no-delete is given\n"
           "  --help     show this text\n"
           "  --version  show the version\n"
           "\n"
           "The reason for each failure goes to standard error. Names are shown with\n"
           "control characters, invalid UTF-8 and backslashes escaped as \\xHH and \\\\.\n"
           "\n"
           "Exit status: 0 when every pair ran without a failure, 1 when something failed,\n"
           "a pair was skipped or the report could not be written, 2 for a usage error or\n"
           "no saved pairs, 130 when SIGINT, SIGTERM, SIGHUP or SIGQUIT stopped the run\n"
           "before its end.\n";
}

std::string VersionText() {
    return std::string("kestrova-sync ") + KESTROVA_VERSION + "\n";
}

} // namespace kestrova
