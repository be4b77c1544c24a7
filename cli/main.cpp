#include "cli/Arguments.h"
#include "cli/RunPairs.h"
#include "cli/SavedRun.h"
#include "i18n/Translate.h"
#include "settings/ConfigPaths.h"

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv) {
    using kestrova::Arguments;
    kestrova::UseCatalogue(kestrova::DefaultLocaleFolder(),
                           kestrova::LocaleVariablesFromEnvironment());
    Arguments args = kestrova::ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
    switch (args.action) {
    case Arguments::Action::Help:
        std::fputs(kestrova::UsageText().c_str(), stdout);
        return kestrova::kExitSuccess;
    case Arguments::Action::Version:
        std::fputs(kestrova::VersionText().c_str(), stdout);
        return kestrova::kExitSuccess;
    case Arguments::Action::UsageError:
        std::fprintf(stderr, "kestrova-sync: %s\n%s", args.error.c_str(),
                     kestrova::UsageText().c_str());
        return kestrova::kExitUsage;
    case Arguments::Action::Run:
        break;
    }
    if (args.saved) {
        const std::string problem = kestrova::UseSavedPairs(args, kestrova::PairListFilePath(),
                                                            kestrova::SettingsFilePath());
        if (!problem.empty()) {
            std::fprintf(stderr, "kestrova-sync: %s\n", problem.c_str());
            return kestrova::kExitUsage;
        }
    }
    std::FILE* progress = ::isatty(STDERR_FILENO) ? stderr : nullptr;
    return kestrova::RunPairs(args.pairs, args.deleteOption, stdout, progress);
}
