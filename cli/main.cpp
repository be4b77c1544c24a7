#include "cli/Arguments.h"
#include "cli/RunPairs.h"
#include "cli/SavedRun.h"
#include "i18n/Translate.h"
#include "settings/ConfigPaths.h"

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace {

// A standard stream that was closed is opened on /dev/null for reading, so that no
// file the run opens can take its number and receive the report, and writing to it
// still fails as on a closed stream.
void HoldStandardStreams() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) < 0) {
            ::open("/dev/null", O_RDONLY);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    // From here on a stop signal waits for the run, which takes it as a Stop.
    const sigset_t stopSignals = kestrova::StopSignals();
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    // A report reader that goes away fails the writes instead of ending the run.
    std::signal(SIGPIPE, SIG_IGN);
    HoldStandardStreams();

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
    kestrova::RunStreams streams;
    streams.report = stdout;
    streams.progress = ::isatty(STDERR_FILENO) ? stderr : nullptr;
    streams.errors = stderr;
    return kestrova::RunPairs(args.pairs, args.deleteOption, streams, nullptr, nullptr,
                              args.options);
}
