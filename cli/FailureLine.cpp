#include "cli/FailureLine.h"

#include "cli/Console.h"
#include "sync/VisibleText.h"

#include <cerrno>

namespace kestrova {

std::string ReasonText(int reason) {
    switch (reason) {
    case 0:
        return "reason unknown";
    case kReasonReadOnlyCopy:
        return "a read-only copy is not replaced";
    case kReasonSpecialFile:
        return "pipes, sockets and devices are not copied";
    case kReasonOtherRoot:
        return "it is the other folder of the pair, seen through a mount";
    case kReasonMountPoint:
        return "a mount point inside the target is left alone";
    case kReasonOtherKind:
        return "the target holds the name as another kind of entry";
    case kReasonCaseCollision:
        return "another name in the folder differs only in letter case, which the target "
               "does not tell apart";
    case kReasonNameNotStorable:
        return "the target's file system cannot store this name";
    default:
        break;
    }
    return SystemErrorText(reason);
}

std::string FailureLine(const std::string& path, const EntryFailure& failure) {
    const std::string shown = VisibleText(path);
    const std::string reason = ReasonText(failure.reason);
    switch (failure.step) {
    case EntryFailure::Step::Copy:
        return "cannot copy " + shown + ": " + reason;
    case EntryFailure::Step::ReadFolder:
        return "cannot read the folder " + shown + ": " + reason;
    case EntryFailure::Step::CreateFolder:
        return "cannot create the target folder of " + shown + ": " + reason;
    case EntryFailure::Step::Prune:
        return "left in place " + shown + ": " + reason;
    case EntryFailure::Step::MatchCase:
        return "cannot give the target copy of " + shown + " its letter case: " + reason;
    case EntryFailure::Step::OpenTarget:
        break;
    }
    if (failure.reason == ENOENT) {
        return shown + ": the target folder does not exist";
    }
    return "cannot open the target folder " + shown + ": " + reason;
}

} // namespace kestrova
