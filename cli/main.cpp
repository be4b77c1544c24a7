#include "cli/Arguments.h"
#include "cli/RunPairs.h"

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv) {
    using kestrova::Arguments;
    const Arguments args =
        kestrova::ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
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
    std::FILE* progress = ::isatty(STDERR_FILENO) ? stderr : nullptr;
    return kestrova::RunPairs(args.pairs, args.deleteOption, stdout, progress);
}
