// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "report/FailureLine.h"

#include "i18n/Translate.h"
#include "report/VisibleText.h"

#include <cerrno>

namespace kestrova {

std::string ReasonText(int reason) {
    switch (reason) {
    case 0:
        return Translate("reason unknown");
    case kReasonReadOnlyCopy:
        return Translate("a read-only copy is not replaced");
    case kReasonOtherRoot:
        return Translate("it is the other folder of the pair, seen through a mount");
    case kReasonMountPoint:
        return Translate("a mount point inside the target is left alone");
    case kReasonOtherKind:
        return Translate("the target holds the name as another kind of entry");
    case kReasonCaseCollision:
        return Translate("another name in the folder differs only in letter case, which the target "
                         "does not tell apart");
    case kReasonNameNotStorable:
        return Translate("the target's file system cannot store this name");
    case kReasonNoTrash:
        return Translate("its file system has no usable trash");
    case kReasonLinkKept:
        return Translate("it is a link, and removing it here would remove what it points to");
    case kReasonLinkNotCopied:
        return Translate("it is a link of a kind that cannot be made in the target; what it "
                         "points to is not copied");
    case kReasonNotForRecycleBin:
        return Translate("the Recycle Bin does not take a path of 260 or more characters or a "
                         "name that ends in a dot or a space or names a device");
    case kReasonTargetBusy:
        return Translate("another run is using this folder");
    case kReasonNotAbsolute:
        return Translate("its source or target is not a full path");
    case kReasonNested:
        return Translate("its source and target are the same folder or one holds the other");
    case kReasonSourceUnreadable:
        return Translate("its source folder does not exist or cannot be read");
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
        return Translate("cannot copy %1: %2", {shown, reason});
    case EntryFailure::Step::ReadFolder:
        return Translate("cannot read the folder %1: %2", {shown, reason});
    case EntryFailure::Step::CreateFolder:
        return Translate("cannot create the target folder of %1: %2", {shown, reason});
    case EntryFailure::Step::Prune:
        return Translate("left in place %1: %2", {shown, reason});
    case EntryFailure::Step::MatchCase:
        return Translate("cannot give the target copy of %1 its letter case: %2", {shown, reason});
    case EntryFailure::Step::ReadSource:
        return Translate("cannot read %1: %2", {shown, reason});
    case EntryFailure::Step::MakeDurable:
        return Translate("the copies in %1 may not be on disk: %2", {shown, reason});
    case EntryFailure::Step::SkipPair:
        return Translate("skipped the pair into %1: %2", {shown, reason});
    case EntryFailure::Step::OpenTarget:
        break;
    }
    if (failure.reason == ENOENT) {
        return Translate("%1: the target folder does not exist", {shown});
    }
    return Translate("cannot open the target folder %1: %2", {shown, reason});
}

} // namespace kestrova
