#include "sync/CopyPass.h"

#include "sync/CopyQueue.h"
#include "sync/FolderChain.h"
#include "sync/FolderListing.h"
#include "sync/SyncRun.h"
#include "sync/SyncStats.h"
#include "sync/SyncTexts.h"

#include <algorithm>
#include <cerrno>
#include <deque>

namespace kestrova {

namespace {

// Copies queued before their outcomes are listed; bounds the memory a huge folder
// takes while keeping the helpers busy.
constexpr std::size_t kMaxQueued = 256;

unsigned CopyHelpers() {
    return std::clamp(std::thread::hardware_concurrency(), 2u, 4u);
}

class CopyWalk {
public:
    explicit CopyWalk(PassContext& run)
        : run_(run), source_(run.fs), target_(run.fs),
          copies_(run.fs, run.window.stopFlag(), CopyHelpers()) {}

    bool start(const PairRoots& roots) {
        if (source_.openRoot(roots.source) != 0) {
            return true; // the pair check found it readable; it went away since
        }
        if (target_.openRoot(roots.target) == 0) {
            haveTargetIdentity_ = run_.fs.identify(target_.handle(), targetIdentity_) == 0;
            timeStep_ = run_.fs.timeStep(target_.handle());
        }
        path_ = roots.source;
        const bool goOn = walkFolder();
        return finishCopies() && goOn;
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
        if (folder == kNoFolder || run_.fs.enumerate(folder, entries) != 0) {
            listFailed();
            return true;
        }
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (run_.stopped()) {
                finishCopies();
                return false;
            }
            const std::size_t mark = path_.size();
            AppendName(path_, entries.name(i));
            const bool goOn = entries.kind(i) == EntryKind::Folder
                                  ? copyFolder(entries.name(i))
                                  : copyEntry(entries.name(i), entries.kind(i));
            path_.resize(mark);
            if (!goOn) {
                finishCopies();
                return false;
            }
        }
        // Queued copies name this folder's handles and listing: finish before leaving.
        return finishCopies();
    }

    bool copyFolder(const char* name) {
        // Entering may close the handles of the folder that queued copies use.
        if (!finishCopies()) {
            return false;
        }
        // Most target folders exist already: opening first saves a creation that fails.
        bool created = false;
        if (target_.enter(name) == ENOENT) {
            target_.leave();
            const FolderHandle targetFolder = target_.handle();
            created = targetFolder != kNoFolder && run_.fs.createFolder(targetFolder, name) == 0;
            target_.enter(name);
        }
        if (source_.enter(name) != 0) {
            source_.leave();
            target_.leave();
            listFailed();
            return true;
        }
        // Never walk into the pair's own target as part of the source (a bind mount
        // can put it there where no path comparison sees it).
        FolderIdentity identity;
        if (haveTargetIdentity_ && run_.fs.identify(source_.handle(), identity) == 0 &&
            identity == targetIdentity_) {
            source_.leave();
            target_.leave();
            return true;
        }
        if (created) {
            run_.fs.copyAttributes(source_.handle(), target_.handle());
        }
        const bool goOn = walkFolder();
        target_.leave();
        source_.leave();
        return goOn;
    }

    bool copyEntry(const char* name, EntryKind kind) {
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
            // The source's time is read only when there is a copy to compare it with;
            // a missing copy is made from the opened file and its own times.
            const LookUpResult current = run_.fs.lookUp(source_.handle(), name);
            if (current.error != 0 || current.kind == EntryKind::Folder) {
                return true; // gone, or replaced by a folder, since the folder was read
            }
            if (current.kind == EntryKind::Special) {
                listFailed();
                return true;
            }
            kind = current.kind;
            if (SameTimeAtStep(existing.modified, current.modified, timeStep_)) {
                return true;
            }
            // A read-only copy is not replaced, whoever runs the program.
            if (existing.kind == EntryKind::File && !existing.ownerWritable) {
                listFailed();
                return true;
            }
        }
        copies_.add(source_.handle(), targetFolder, name, kind, path_);
        return copies_.pending() < kMaxQueued || finishCopies();
    }

    // Waits for the queued copies and lists their outcomes in walk order; false when
    // a copy was stopped.
    bool finishCopies() {
        return copies_.finish([](CopyOutcome outcome, std::string_view path) {
            if (outcome == CopyOutcome::Copied) {
                g_updatedFiles.add(path);
                g_syncStats.filesCopied.fetch_add(1, std::memory_order_relaxed);
            } else if (outcome == CopyOutcome::Failed) {
                g_failedFiles.add(path);
                g_syncStats.filesFailed.fetch_add(1, std::memory_order_relaxed);
            }
        });
    }

    // Lists the entry in hand as failed, after the queued copies that precede it.
    void listFailed() {
        finishCopies();
        g_failedFiles.add(path_);
        g_syncStats.filesFailed.fetch_add(1, std::memory_order_relaxed);
    }

    PassContext& run_;
    FolderChain source_;
    FolderChain target_;
    CopyQueue copies_;
    std::deque<FolderListing> listings_; // one per depth, reused across folders
    std::string path_;                   // full source path of the entry in hand
    FolderIdentity targetIdentity_;
    bool haveTargetIdentity_ = false;
    // Times are compared to the step the target keeps, lest every run copy everything.
    std::int64_t timeStep_ = 1;
};

} // namespace

bool CopyPass(PassContext& run, const PairRoots& roots) {
    CopyWalk walk(run);
    return walk.start(roots) && !run.stopped();
}

} // namespace kestrova
