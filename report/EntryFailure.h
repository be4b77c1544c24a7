// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "fs/FailureReasons.h"

#include <cstdint>

namespace kestrova {

// Why something is listed under a pair's failure heading: the step that failed and
// the reason, an errno value or one of the run's own reasons (fs/FailureReasons.h).
struct EntryFailure {
    enum class Step : std::uint8_t {
        // Copying a file, link or special file; the path is its source path.
        Copy,
        // Reading a source folder; the path is the folder.
        ReadFolder,
        // Making a source folder's counterpart in the target; the path is the source
        // folder. The entries beneath it are listed but not reported one by one.
        CreateFolder,
        // Opening the pair's target folder; the path is the target folder. The pair's
        // entries are listed but not reported one by one.
        OpenTarget,
        // Deleting in the target; the path is the target entry left in place.
        Prune,
        // Giving a target entry the letter case of its source name, where the target
        // does not tell names apart by case; the path is the source path.
        MatchCase,
        // Reading a file's source (the disk holding it failed); the path is its source path.
        ReadSource,
        // Making a pair's copies durable: its target's file system reported a write
        // error; the path is the target folder. The pair's copies are listed as failed
        // without a reason each.
        MakeDurable,
        // Leaving a whole pair out; the path is its target folder, the reason one of the
        // run's own below.
        SkipPair,
    };
    Step step = Step::Copy;
    int reason = 0; // 0 when the reason is not known
};

} // namespace kestrova
