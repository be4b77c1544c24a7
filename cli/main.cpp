#include "cli/Arguments.h"
#include "cli/Console.h"
#include "cli/RunPairs.h"
#include "cli/SavedRun.h"
#include "i18n/Translate.h"
#include "settings/ConfigPaths.h"

#include <cstdio>

int main(int argc, char** argv) {
    kestrova::PrepareProcess();

    using kestrova::Arguments;
    kestrova::UseCatalogue(kestrova::DefaultLocaleFolder(),
                           kestrova::LocaleVariablesFromEnvironment());
    Arguments args = kestrova::ParseArguments(kestrova::CommandArguments(argc, argv));
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
        const std::string problem = kestrova::UseSavedPairs(args, kestrova::PairListFileToRead(),
                                                            kestrova::SettingsFileToRead());
        if (!problem.empty()) {
            std::fprintf(stderr, "kestrova-sync: %s\n", problem.c_str());
            return kestrova::kExitUsage;
        }
    }
    kestrova::RunStreams streams;
    streams.report = stdout;
    streams.progress = kestrova::ProgressStream();
    streams.errors = stderr;
    return kestrova::RunPairs(args.pairs, args.deleteOption, streams, nullptr, nullptr,
                              args.options);
}
