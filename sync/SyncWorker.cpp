// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "sync/SyncWorker.h"

#include "fs/NativeFileSystem.h"
#include "sync/SyncRun.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>

namespace kestrova {

std::atomic<SyncWindow*> g_syncDialog{nullptr};
std::atomic<int> g_syncRunning{0};
std::atomic<std::thread::id> g_syncThread{};

namespace {

// Set by Stop; cleared only when a new worker starts, after the last one has ended.
std::atomic<bool> g_stopRequested{false};
// True from Start until the worker's very last step (after its clean-up).
std::atomic<bool> g_workerAlive{false};
// Lets the worker wait until Start has recorded it in g_syncThread. A mutex and a
// condition rather than an atomic wait: under Wine the atomic wait has been seen to
// miss its wake-up and leave the worker waiting for ever.
std::mutex g_launchMutex;
std::condition_variable g_launchedCondition;
bool g_launched = false;
// Used by Start and Join only, both on the thread that owns the window.
std::thread g_workerThread;

void WorkerBody(FileSystem* fs) {
    {
        std::unique_lock lock(g_launchMutex);
        g_launchedCondition.wait(lock, [] { return g_launched; });
    }
    if (fs != nullptr) {
        SyncWindow* window = g_syncDialog.load();
        if (window != nullptr) {
            SyncRun(*window, *fs, g_stopRequested);
        }
    } else {
        SyncRun();
    }
    ClearSyncThread();
    g_workerAlive.store(false);
}

bool Launch(SyncWindow& window, FileSystem* fs) {
    if (g_workerAlive.load()) {
        return false;
    }
    if (g_workerThread.joinable()) {
        g_workerThread.join(); // it has finished; only its thread object remains
    }
    g_stopRequested = false;
    g_workerAlive = true;
    {
        std::lock_guard lock(g_launchMutex);
        g_launched = false;
    }
    g_syncDialog = &window;
    try {
        g_workerThread = std::thread(WorkerBody, fs);
    } catch (const std::system_error&) {
        g_workerAlive = false;
        return false;
    }
    g_syncThread = g_workerThread.get_id();
    {
        std::lock_guard lock(g_launchMutex);
        g_launched = true;
    }
    g_launchedCondition.notify_all();
    return true;
}

} // namespace

int SyncRun() {
    SyncWindow* window = g_syncDialog.load();
    if (window == nullptr) {
        return 0;
    }
    NativeFileSystem fs;
    // Helpers read folders ahead of the walk on the other cores: examining a tree is
    // mostly the kernel's work per entry, which runs on every core at once. The walk
    // reads too rather than wait for them, so one helper fewer than cores keeps every
    // core busy without threads taking turns; one core alone has none.
    const unsigned cores = std::thread::hardware_concurrency();
    fs.setReadHelpers(cores < 2 ? 0 : std::min(cores - 1, 4u));
    return SyncRun(*window, fs, g_stopRequested);
}

bool StartSyncWorker(SyncWindow& window) {
    return Launch(window, nullptr);
}

bool StartSyncWorker(SyncWindow& window, FileSystem& fs) {
    return Launch(window, &fs);
}

bool StopSyncWorker() {
    if (g_syncThread.load() == std::thread::id{}) {
        return false;
    }
    g_stopRequested = true;
    g_syncRunning = 0;
    g_syncThread = std::thread::id{};
    return true;
}

bool SyncWorkerActive() {
    return g_syncThread.load() != std::thread::id{};
}

bool SyncWorkerAlive() {
    return g_workerAlive.load();
}

bool SyncStopRequested() {
    return g_workerAlive.load() && g_stopRequested.load();
}

void ClearSyncThread() {
    std::thread::id self = std::this_thread::get_id();
    g_syncThread.compare_exchange_strong(self, std::thread::id{});
}

void JoinSyncWorker() {
    if (g_workerThread.joinable()) {
        g_workerThread.join();
    }
}

} // namespace kestrova
