// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "report/SyncWindow.h"

#include <atomic>
#include <thread>

namespace kestrova {

// The window whose rows, controls and panes the current run reads and writes.
// Set by Start before the worker is launched.
extern std::atomic<SyncWindow*> g_syncDialog;
// 1 from the worker's first action until its last, or until Stop.
extern std::atomic<int> g_syncRunning;
// The worker that Start launched and Stop can end; a default id when there is none.
extern std::atomic<std::thread::id> g_syncThread;

class FileSystem;

// The Start command: sets g_syncDialog to `window` and launches the one worker
// thread running SyncRun. Returns false, launching nothing, while an earlier worker
// is still alive (running, or finishing the clean-up after a Stop).
bool StartSyncWorker(SyncWindow& window);
// The same over another file-system port, which must outlive the worker.
bool StartSyncWorker(SyncWindow& window, FileSystem& fs);

// The Stop command's effect on the worker: when a worker is running, asks it to
// stop and returns at once without waiting. The stopped worker makes no further
// call to the window, removes any partly written file and ends by itself. Sets
// g_syncRunning to 0 and forgets the worker (SyncWorkerActive() turns false).
// Returns whether there was a worker to stop.
bool StopSyncWorker();

// Whether a worker is known to Start and Stop (launched, not yet finished or stopped).
bool SyncWorkerActive();

// Whether any worker thread still exists, including a stopped one that is cleaning up.
bool SyncWorkerAlive();

// Whether the live worker has been asked to stop. A window that carries out the
// worker's calls on its own thread answers a call still in flight at a Stop with a
// neutral value and no visible change once this is true.
bool SyncStopRequested();

// The worker's own step at the end of a run: forgets it as the running worker, so
// that Stop no longer finds it. Does nothing on any other thread.
void ClearSyncThread();

// The thread body Start launches: SyncRun over g_syncDialog with the platform's port.
int SyncRun();

// Waits until no worker thread exists. After a Stop this waits only for the
// stopped worker's bounded clean-up. Called before the process ends.
void JoinSyncWorker();

} // namespace kestrova
