// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "cli/Arguments.h"
#include "cli/Console.h"
#include "cli/RunPairs.h"
#include "cli/SavedRun.h"
#include "i18n/Translate.h"
#include "settings/ConfigPaths.h"

#ifndef _WIN32
#include "cli/ScheduledRun.h"
#endif

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
        kestrova::WriteText(stderr, kestrova::UsageErrorText(args.error));
        return kestrova::kExitUsage;
    case Arguments::Action::NotifyFailure:
#ifndef _WIN32
        return kestrova::NotifyFailure(kestrova::RunRecordFilePath());
#else
        return kestrova::kExitUsage; // never parsed on Windows
#endif
    case Arguments::Action::Run:
        break;
    }
    kestrova::RunStreams streams;
#ifndef _WIN32
    kestrova::RecordedRun record;
    if (args.record) {
        streams.record = &record;
    }
#endif
    if (args.saved) {
        const std::string problem = kestrova::UseSavedPairs(args, kestrova::PairListFileToRead(),
                                                            kestrova::SettingsFileToRead());
        if (!problem.empty()) {
            kestrova::WriteText(stderr, "kestrova-sync: " + problem + "\n");
#ifndef _WIN32
            // A scheduled run with nothing to run is recorded as failed, with the reason.
            if (args.record) {
                record.failures.push_back(problem);
                return kestrova::KeepRunRecord(record, kestrova::kExitUsage);
            }
#endif
            return kestrova::kExitUsage;
        }
    }
    streams.report = stdout;
    streams.progress = kestrova::ProgressStream();
    streams.errors = stderr;
    const int status =
        kestrova::RunPairs(args.pairs, args.deleteOption, streams, nullptr, nullptr, args.options);
#ifndef _WIN32
    if (args.record) {
        return kestrova::KeepRunRecord(record, status);
    }
#endif
    return status;
}
