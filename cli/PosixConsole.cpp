// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "cli/Console.h"

#include "cli/RunPairs.h"

#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace kestrova {

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

void PrepareProcess() {
    // From here on a stop signal waits for the run, which takes it as a Stop.
    const sigset_t stopSignals = StopSignals();
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    // A report reader that goes away fails the writes instead of ending the run.
    std::signal(SIGPIPE, SIG_IGN);
    HoldStandardStreams();
}

std::vector<std::string> CommandArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

std::FILE* ProgressStream() {
    return ::isatty(STDERR_FILENO) ? stderr : nullptr;
}

bool WriteText(std::FILE* stream, std::string_view text) {
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
}

} // namespace kestrova
