#include "sync/CopyPass.h"

#include "sync/FolderChain.h"
#include "sync/FolderListing.h"
#include "sync/SyncRun.h"
#include "sync/SyncStats.h"
#include "sync/SyncTexts.h"

#include <deque>

namespace kestrova {

namespace {

class CopyWalk {
public:
    explicit CopyWalk(PassContext& run) : run_(run), source_(run.fs), target_(run.fs) {}

    bool start(const PairRoots& roots) {
        if (source_.openRoot(roots.source) != 0) {
            return true; // the pair check found it readable; it went away since
        }
        if (target_.openRoot(roots.target) == 0) {
            haveTargetIdentity_ = run_.fs.identify(target_.handle(), targetIdentity_) == 0;
        }
        path_ = roots.source;
        return walkFolder();
    }

private:
    // Copies the entries of the current source folder; false on a stop.
    bool walkFolder() {
        const std::size_t depth = source_.depth();
        if (listings_.size() <= depth) {
            listings_.emplace_back();
        }
        FolderListing& entries = listings_[depth];
        const FolderHandle folder = source_.handle();
        if (folder == kNoFolder || run_.fs.enumerate(folder, true, entries) != 0) {
            listFailed();
            return true;
        }
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (run_.stopped()) {
                return false;
            }
            const std::size_t mark = path_.size();
            AppendName(path_, entries.name(i));
            const bool goOn =
                entries.kind(i) == EntryKind::Folder
                    ? copyFolder(entries.name(i))
                    : copyEntry(entries.name(i), entries.kind(i), entries.modified(i));
            path_.resize(mark);
            if (!goOn) {
                return false;
            }
        }
        return true;
    }

    bool copyFolder(const char* name) {
        const FolderHandle targetFolder = target_.handle();
        if (targetFolder != kNoFolder) {
            run_.fs.createFolder(targetFolder, name); // most often it exists already
        }
        if (source_.enter(name) != 0) {
            source_.leave();
            listFailed();
            return true;
        }
        // Never walk into the pair's own target as part of the source (a bind mount
        // can put it there where no path comparison sees it).
        FolderIdentity identity;
        if (haveTargetIdentity_ && run_.fs.identify(source_.handle(), identity) == 0 &&
            identity == targetIdentity_) {
            source_.leave();
            return true;
        }
        target_.enter(name);
        const bool goOn = walkFolder();
        target_.leave();
        source_.leave();
        return goOn;
    }

    bool copyEntry(const char* name, EntryKind kind, FileTime modified) {
        run_.window.setStatusLine(path_);
        g_syncStats.filesExamined.fetch_add(1, std::memory_order_relaxed);
        if (kind == EntryKind::Special) {
            listFailed(); // pipes, sockets and devices are never opened
            return true;
        }
        const FolderHandle targetFolder = target_.handle();
        if (targetFolder == kNoFolder) {
            listFailed();
            return true;
        }
        const LookUpResult existing = run_.fs.lookUp(targetFolder, name);
        if (existing.error == 0) {
            if (existing.modified == modified) {
                return true;
            }
            // A read-only copy is not replaced, whoever runs the program.
            if (existing.kind == EntryKind::File && !existing.ownerWritable) {
                listFailed();
                return true;
            }
        }
        switch (run_.fs.copy(source_.handle(), targetFolder, name, kind, run_.window.stopFlag())) {
        case CopyOutcome::Copied:
            g_updatedFiles += path_;
            g_updatedFiles += texts::kLineEnd;
            g_syncStats.filesCopied.fetch_add(1, std::memory_order_relaxed);
            return true;
        case CopyOutcome::Failed:
            listFailed();
            return !run_.stopped();
        case CopyOutcome::Stopped:
            break;
        }
        return false;
    }

    void listFailed() {
        g_failedFiles += path_;
        g_failedFiles += texts::kLineEnd;
        g_syncStats.filesFailed.fetch_add(1, std::memory_order_relaxed);
    }

    PassContext& run_;
    FolderChain source_;
    FolderChain target_;
    std::deque<FolderListing> listings_; // one per depth, reused across folders
    std::string path_;                   // full source path of the entry in hand
    FolderIdentity targetIdentity_;
    bool haveTargetIdentity_ = false;
};

} // namespace

bool CopyPass(PassContext& run, const PairRoots& roots) {
    CopyWalk walk(run);
    return walk.start(roots) && !run.stopped();
}

} // namespace kestrova
