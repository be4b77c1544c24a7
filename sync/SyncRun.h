// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "fs/FileSystem.h"
#include "report/FileList.h"
#include "report/SyncWindow.h"

#include <atomic>
#include <string>

namespace kestrova {

// Source paths of the current pair's copied files, each followed by "\r\n".
// Touched only by the worker while a run is under way.
extern FileList g_updatedFiles;
// Source paths of the current pair's failed copies, each followed by "\r\n".
extern FileList g_failedFiles;
// Target paths of what the current pair's prune pass deleted, when they are listed.
extern FileList g_deletedFiles;
// Source paths of the current pair's special files that the target refused to create
// (device nodes without the privilege, pipes on a file system without them).
extern FileList g_specialsNotCreated;

// One run over the window's checked pairs: a copy pass per pair, a prune pass when
// the delete option is set, and a report block per pair, shown after each pair.
// Once `stop` is set the run makes no further call to the window and returns as
// soon as the entry in hand is dealt with (a partly copied file is removed).
// Returns 0.
int SyncRun(SyncWindow& window, FileSystem& fs, const std::atomic<bool>& stop);

} // namespace kestrova
