#include "sync/TrashFileSystem.h"

#include "sync/EntryFailure.h"

#include <cerrno>

namespace kestrova {

// The Windows build reaches no Recycle Bin yet: nothing is deleted or replaced, and
// the run says so, as it does where a file system has no usable trash.
TrashFileSystem::TrashFileSystem(FileSystem& base) : base_(base) {}

TrashFileSystem::~TrashFileSystem() = default;

int TrashFileSystem::deleteFile(FolderHandle, const char*) {
    trashMissing_ = true;
    return kReasonNoTrash;
}

CopyOutcome TrashFileSystem::copy(FolderHandle from, FolderHandle to, const char* name,
                                  EntryKind kind, const std::atomic<bool>& stop) {
    const LookUpResult existing = base_.lookUp(to, name);
    if (existing.error != 0 || existing.kind == EntryKind::Folder) {
        return base_.copy(from, to, name, kind, stop);
    }
    trashMissing_ = true;
    errno = kReasonNoTrash;
    return CopyOutcome::Failed;
}

} // namespace kestrova
