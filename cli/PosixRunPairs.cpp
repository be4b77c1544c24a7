#include "cli/RunPairs.h"

#include "cli/CommandWindow.h"
#include "cli/ProgressLine.h"
#include "sync/SyncStats.h"
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

int RunPairs(const std::vector<FolderPair>& pairs, bool deleteOption, std::FILE* report,
             std::FILE* progress) {
    // The worker inherits the blocked signals, so they reach only the signalfd below.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigset_t previousMask;
    pthread_sigmask(SIG_BLOCK, &stopSignals, &previousMask);
    const Descriptor signals{::signalfd(-1, &stopSignals, SFD_CLOEXEC)};
    const Descriptor done{::eventfd(0, EFD_CLOEXEC)};

    CommandWindow window(pairs, deleteOption, report, done.fd, progress);
    int status = kExitSuccess;
    if (!StartSyncWorker(window)) {
        status = kExitFailures;
    } else {
        bool stopped = false;
        while (SyncWorkerAlive()) {
            pollfd waits[2] = {{signals.fd, POLLIN, 0}, {done.fd, POLLIN, 0}};
            const int ready = ::poll(waits, 2, kProgressIntervalMs);
            if (ready > 0 && (waits[0].revents & POLLIN) != 0) {
                signalfd_siginfo info; // taken off the queue, so it is not delivered later
                [[maybe_unused]] const ssize_t got = ::read(signals.fd, &info, sizeof info);
                StopSyncWorker();
                stopped = true;
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
        } else if (g_syncStats.filesFailed.load() > 0 || g_syncStats.pairsSkipped.load() > 0) {
            status = kExitFailures;
        }
    }
    pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    return status;
}

} // namespace kestrova
