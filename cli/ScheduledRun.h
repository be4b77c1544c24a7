// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// Linux: what kestrova-sync keeps and tells of the runs it makes for the scheduler:
// the run record, and a desktop notification, through the notification service, of
// a run that failed (run by the unit that the service unit names in OnFailure=).

#include "settings/RunRecord.h"

#include <optional>
#include <string>
#include <vector>

namespace kestrova {

struct FailureNotice {
    std::string summary;
    std::string body; // the service's body markup, with the record's texts escaped
};

// The notice of the newest recorded run, when `invocation` is empty or names that run;
// else of a run that ended (`result`, as the service manager says) without a record.
FailureNotice NoticeOfFailure(const std::optional<RecordedRun>& newest,
                              const std::vector<std::string>& details,
                              const std::string& invocation, const std::string& result);

// Shows the notice of the newest run in `recordFile`, taking the failed run's id and
// result from the service manager's MONITOR_INVOCATION_ID and MONITOR_SERVICE_RESULT.
// Returns the exit status: 0 once shown, 1 when no notification service answered.
int NotifyFailure(const std::string& recordFile);

// Adds `run`, as it ended with `status`, to the run record with the time and the
// service manager's id of the run; says on standard error when that fails. Returns
// the command's exit status: `status`, or 1 for a run that did not fail otherwise
// when the record could not be written.
int KeepRunRecord(RecordedRun run, int status);

} // namespace kestrova
