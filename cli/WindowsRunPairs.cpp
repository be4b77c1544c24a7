// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "cli/RunPairs.h"

#include "cli/CommandWindow.h"
#include "cli/Console.h"
#include "cli/ProgressLine.h"
#include "report/SyncStats.h"
#include "sync/SyncWorker.h"

#include <windows.h>

#include <mutex>

namespace kestrova {

namespace {

constexpr DWORD kProgressIntervalMs = 250;

// Set by Ctrl+C and Ctrl+Break; the console calls the handler on a thread of its own.
HANDLE g_stopEvent = nullptr;

BOOL WINAPI OnConsoleControl(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
        ::SetEvent(g_stopEvent);
        return TRUE;
    }
    return FALSE;
}

std::size_t TerminalWidth(std::FILE* stream) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    const HANDLE console =
        stream == stderr ? ::GetStdHandle(STD_ERROR_HANDLE) : ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (::GetConsoleScreenBufferInfo(console, &info)) {
        const int width = info.srWindow.Right - info.srWindow.Left + 1;
        if (width > 1) {
            return static_cast<std::size_t>(width - 1);
        }
    }
    return 79;
}

void DrawProgress(std::FILE* progress, CommandWindow& window) {
    const std::string text =
        ProgressText(g_syncStats.filesExamined.load(), g_syncStats.filesCopied.load(),
                     g_syncStats.filesFailed.load(), window.statusLine(), TerminalWidth(progress));
    std::lock_guard lock(window.outputMutex());
    WriteText(progress, "\r\033[K" + text);
    std::fflush(progress);
}

} // namespace

// Ctrl+C and Ctrl+Break stop the run as the Stop button does; the command then ends
// with the status of a run stopped by a signal elsewhere.
int RunPairs(const std::vector<FolderPair>& pairs, bool deleteOption, const RunStreams& streams,
             FileSystem* fs, StopCommand stop, const RunOptions& options) {
    g_stopEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ::SetConsoleCtrlHandler(OnConsoleControl, TRUE);

    std::FILE* progress = streams.progress;
    CommandWindow window(pairs, deleteOption, streams.report, -1, progress, streams.errors);
    window.setRunOptions(options);
    int status = kExitSuccess;
    if (g_stopEvent == nullptr ||
        !(fs != nullptr ? StartSyncWorker(window, *fs) : StartSyncWorker(window))) {
        status = kExitFailures;
    } else {
        bool stopped = false;
        while (SyncWorkerAlive()) {
            if (::WaitForSingleObject(g_stopEvent, kProgressIntervalMs) == WAIT_OBJECT_0) {
                // A run that ended before the stop was taken is not stopped by it.
                stopped = stop != nullptr ? stop() : StopSyncWorker();
                break;
            }
            if (progress != nullptr && SyncWorkerActive()) {
                DrawProgress(progress, window);
            }
        }
        JoinSyncWorker();
        if (progress != nullptr) {
            WriteText(progress, "\r\033[K");
            if (!stopped) {
                WriteText(progress, window.finalMessage() + "\n");
            }
            std::fflush(progress);
        }
        if (stopped) {
            status = kExitStopped;
        } else if (g_syncStats.filesFailed.load() > 0 || g_syncStats.pairsSkipped.load() > 0 ||
                   window.reportError() != 0) {
            status = kExitFailures;
        }
    }
    ::SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    if (g_stopEvent != nullptr) {
        ::CloseHandle(g_stopEvent);
        g_stopEvent = nullptr;
    }
    return status;
}

} // namespace kestrova
