// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// The run record: a short account of each recorded run of kestrova-sync (the
// scheduled ones), oldest first, so that a failure nobody watched can be told
// afterwards, by a notification and by the window when it opens. Each run is one
// block of lines:
//
//   run 2026-12-08T02:00:13+0100 exit 1 pairs 2 examined 1284 copied 2 failed 1 skipped 1
//     done /home/me/photos -> /media/backup/photos: examined 1284, copied 2, failed 1
//     skipped /home/me/papers -> /media/backup/papers: <the reason the report gives>
//     failure cannot copy /home/me/photos/a.jpg: Permission denied
//
// The head line's words are fixed, for programs to read; the reasons are in the
// language of the run. The file is kept under kRunRecordLimit bytes by dropping the
// oldest runs.

#include "settings/SaveFileSystem.h"
#include "settings/SaveResult.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrova {

inline constexpr std::size_t kRunRecordLimit = 64 * 1024;
// Failures beyond these many are counted, not listed.
inline constexpr std::size_t kRecordedFailures = 20;

struct RunCounts {
    std::uint64_t examined = 0;
    std::uint64_t copied = 0;
    std::uint64_t failed = 0;
};

struct RecordedPair {
    enum class Outcome { Done, DeletionsSkipped, Skipped, NotRun };
    std::string source; // as the report shows it
    std::string target;
    Outcome outcome = Outcome::NotRun;
    RunCounts counts;
    std::string reason; // why it or its deletions were skipped
};

struct RecordedRun {
    std::string time; // local time, "2026-12-08T02:00:13+0100"
    int exitStatus = 0;
    RunCounts counts;
    std::uint64_t skipped = 0; // pairs, or their deletions, left out
    std::vector<RecordedPair> pairs;
    std::vector<std::string> failures; // the first kRecordedFailures lines of failures
    std::uint64_t failuresNotListed = 0;
    std::string invocation; // the service manager's id of the run, when it has one
};

// The run's block of lines, each ended by "\n".
std::string FormatRecordedRun(const RecordedRun& run);

// Adds the run's block at the end of the record in `file`, dropping the oldest runs
// while the whole is over `limit` bytes (the new run always stays), and replaces the
// file in one step.
SaveResult AppendRecordedRun(const std::string& file, const RecordedRun& run, SaveFileSystem& fs,
                             std::size_t limit = kRunRecordLimit);

// The newest run of a record, read back from its block: its head line's values, and
// its other lines as they stand (without the indent). Null when the file holds no run.
std::optional<RecordedRun> ReadLastRecordedRun(const std::string& file,
                                               std::vector<std::string>* details = nullptr);

} // namespace kestrova
