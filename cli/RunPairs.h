// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "cli/Arguments.h"
#include "settings/RunRecord.h"

#include <csignal>
#include <cstdio>
#include <vector>

namespace kestrova {

class FileSystem;

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailures = 1; // a copy failed, a pair was skipped, or no report
inline constexpr int kExitUsage = 2;
inline constexpr int kExitStopped = 130; // a stop signal cut the run short

#ifndef _WIN32
// SIGINT, SIGTERM, SIGHUP and SIGQUIT: each stops a run as the Stop button does.
// Windows takes Ctrl+C and Ctrl+Break instead.
sigset_t StopSignals();
#endif

// Where a run writes. `report` takes the report; `progress`, when not null, a
// one-line progress display redrawn a few times a second; `errors`, when not null,
// a line for every failed entry's reason and for a report that cannot be written.
// `record`, when not null, receives the run's account for the run record (Linux).
struct RunStreams {
    std::FILE* report = nullptr;
    std::FILE* progress = nullptr;
    std::FILE* errors = nullptr;
    RecordedRun* record = nullptr;
};

// Passes a stop signal on to the worker (StopSyncWorker when none is given); returns
// whether that stopped a run still under way (false when the run had already ended).
using StopCommand = bool (*)();

// Runs `pairs` (all checked) with the given delete option on the one sync worker, over
// `fs` (the POSIX port when null). The stop signals are blocked in the calling thread
// for the run and taken through a descriptor, so each one reaches `stop`. Returns the
// command's exit status: 130 only when a stop cut the run short.
int RunPairs(const std::vector<FolderPair>& pairs, bool deleteOption, const RunStreams& streams,
             FileSystem* fs = nullptr, StopCommand stop = nullptr, const RunOptions& options = {});

} // namespace kestrova
