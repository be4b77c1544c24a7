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
        kestrova::WriteText(stdout, kestrova::UsageText());
        return kestrova::kExitSuccess;
    case Arguments::Action::Version:
        kestrova::WriteText(stdout, kestrova::VersionText());
        return kestrova::kExitSuccess;
    case Arguments::Action::UsageError:
        kestrova::WriteText(stderr, "kestrova-sync: " + args.error + "\n" + kestrova::UsageText());
        return kestrova::kExitUsage;
    case Arguments::Action::Run:
        break;
    }
    if (args.saved) {
        const std::string problem = kestrova::UseSavedPairs(args, kestrova::PairListFileToRead(),
                                                            kestrova::SettingsFileToRead());
        if (!problem.empty()) {
            kestrova::WriteText(stderr, "kestrova-sync: " + problem + "\n");
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
