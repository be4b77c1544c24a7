// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "cli/RunPairs.h"

#include "cli/CommandWindow.h"
#include "cli/ProgressLine.h"
#include "report/SyncStats.h"
#include "sync/SyncWorker.h"

#include <csignal>
#include <cstdint>
#include <mutex>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace kestrova {

namespace {

constexpr int kProgressIntervalMs = 250;

// Closes a descriptor when it goes out of scope.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

std::size_t TerminalWidth(std::FILE* stream) {
    struct winsize size {};
    if (::ioctl(::fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        return size.ws_col - 1;
    }
    return 79;
}

void DrawProgress(std::FILE* progress, CommandWindow& window) {
    const std::string text =
        ProgressText(g_syncStats.filesExamined.load(), g_syncStats.filesCopied.load(),
                     g_syncStats.filesFailed.load(), window.statusLine(), TerminalWidth(progress));
    std::lock_guard lock(window.outputMutex());
    std::fprintf(progress, "\r\033[K%s", text.c_str());
    std::fflush(progress);
}

void ClearProgress(std::FILE* progress) {
    std::fputs("\r\033[K", progress);
    std::fflush(progress);
}

} // namespace

sigset_t StopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        sigaddset(&signals, signal);
    }
    return signals;
}

int RunPairs(const std::vector<FolderPair>& pairs, bool deleteOption, const RunStreams& streams,
             FileSystem* fs, StopCommand stop, const RunOptions& options) {
    // The worker inherits the blocked signals, so they reach only the signalfd below.
    const sigset_t stopSignals = StopSignals();
    sigset_t previousMask;
    pthread_sigmask(SIG_BLOCK, &stopSignals, &previousMask);
    const Descriptor signals{::signalfd(-1, &stopSignals, SFD_CLOEXEC)};
    const Descriptor done{::eventfd(0, EFD_CLOEXEC)};

    std::FILE* progress = streams.progress;
    CommandWindow window(pairs, deleteOption, streams.report, done.fd, progress, streams.errors);
    window.setRunOptions(options);
    int status = kExitSuccess;
    if (!(fs != nullptr ? StartSyncWorker(window, *fs) : StartSyncWorker(window))) {
        status = kExitFailures;
    } else {
        bool stopped = false;
        while (SyncWorkerAlive()) {
            pollfd waits[2] = {{signals.fd, POLLIN, 0}, {done.fd, POLLIN, 0}};
            const int ready = ::poll(waits, 2, kProgressIntervalMs);
            if (ready > 0 && (waits[0].revents & POLLIN) != 0) {
                signalfd_siginfo info; // taken off the queue, so it is not delivered later
                [[maybe_unused]] const ssize_t got = ::read(signals.fd, &info, sizeof info);
                // A run that ended before the signal was taken is not stopped by it.
                stopped = stop != nullptr ? stop() : StopSyncWorker();
                break;
            }
            if (ready > 0 && (waits[1].revents & POLLIN) != 0) {
                break;
            }
            if (progress != nullptr) {
                DrawProgress(progress, window);
            }
        }
        JoinSyncWorker();
        if (progress != nullptr) {
            ClearProgress(progress);
            if (!stopped) {
                std::fprintf(progress, "%s\n", window.finalMessage().c_str());
            }
        }
        if (stopped) {
            status = kExitStopped;
        } else if (g_syncStats.filesFailed.load() > 0 || g_syncStats.pairsSkipped.load() > 0 ||
                   window.reportError() != 0) {
            status = kExitFailures;
        }
    }
    if (streams.record != nullptr) {
        *streams.record = window.recordedRun();
        streams.record->exitStatus = status;
        streams.record->counts = {g_syncStats.filesExamined.load(), g_syncStats.filesCopied.load(),
                                  g_syncStats.filesFailed.load()};
        streams.record->skipped = g_syncStats.pairsSkipped.load();
    }
    pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    return status;
}

} // namespace kestrova
