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
        } else if (arg == "--trash") {
            parsed.options.trash = true;
        } else if (arg == "--list-deleted") {
            parsed.options.listDeleted = true;
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
    if (parsed.saved && !paths.empty()) {
        parsed.action = Arguments::Action::UsageError;
        parsed.error = Translate("--saved takes no folders");
        return parsed;
    }
    if (!parsed.saved && (paths.empty() || paths.size() % 2 != 0)) {
        parsed.action = Arguments::Action::UsageError;
        parsed.error =
            Translate(paths.empty() ? "no folders given" : "a source folder has no target folder");
        return parsed;
    }
    for (std::size_t i = 0; i < paths.size(); i += 2) {
        parsed.pairs.push_back({paths[i], paths[i + 1]});
    }
    return parsed;
}

std::string UsageText() {
    std::string text =
        Translate("Usage: kestrova-sync [OPTIONS] [--delete] SOURCE TARGET [SOURCE TARGET ...]\n"
                  "       kestrova-sync [OPTIONS] --saved [--delete | --no-delete]\n"
                  "Brings each TARGET folder up to date with its SOURCE folder: copies every\n"
                  "file that is missing in the target or whose modification time differs, and\n"
                  "creates the sub-folders. The report goes to standard output.\n"
                  "\n"
                  "  --delete   also remove from each target what no longer exists in its source\n"
                  "  --no-delete\n"
                  "             keep in each target what no longer exists in its source\n"
                  "  --saved    run every pair saved by the Kestrova window, with its saved\n"
                  "             delete option unless --delete or --no-delete is given\n"
                  "  --trash    move what is deleted from a target, and what a copy replaces\n"
                  "             there, to the trash of the file system holding it\n"
                  "  --dry-run  change nothing: report what a run would copy and delete\n"
                  "  --list-deleted\n"
                  "             list in each pair's block what was deleted from its target\n"
                  "  --max-delete N\n"
                  "             delete nothing from a target that would lose more than N\n"
                  "             files and folders, and say so\n"
                  "  --help     show this text\n"
                  "  --version  show the version\n"
                  "\n");
    // What stops a run, and how names are shown, differ between the platforms.
#ifdef _WIN32
    text +=
        Translate("The reason for each failure goes to standard error. Names are shown with\n"
                  "control characters and invalid UTF-8 escaped as \\xHH.\n"
                  "\n"
                  "Exit status: 0 when every pair ran without a failure, 1 when something failed,\n"
                  "a pair or its deletions were skipped or the report could not be written, 2 for\n"
                  "a usage error or no saved pairs, 130 when Ctrl+C or Ctrl+Break stopped the run\n"
                  "before its end.\n");
#else
    text +=
        Translate("The reason for each failure goes to standard error. Names are shown with\n"
                  "control characters, invalid UTF-8 and backslashes escaped as \\xHH and \\\\.\n"
                  "\n"
                  "Exit status: 0 when every pair ran without a failure, 1 when something failed,\n"
                  "a pair or its deletions were skipped or the report could not be written, 2 for\n"
                  "a usage error or no saved pairs, 130 when SIGINT, SIGTERM, SIGHUP or SIGQUIT\n"
                  "stopped the run before its end.\n");
#endif
    return text;
}

std::string VersionText() {
    return std::string("kestrova-sync ") + KESTROVA_VERSION + "\n";
}

} // namespace kestrova
