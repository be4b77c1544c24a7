#include "sync/SyncRun.h"

#include "sync/CopyPass.h"
#include "sync/PairCheck.h"
#include "sync/PrunePass.h"
#include "sync/RunWindow.h"
#include "sync/SyncStats.h"
#include "sync/SyncTexts.h"
#include "sync/SyncWorker.h"
#include "sync/VisibleText.h"

#include <cerrno>

namespace kestrova {

FileList g_updatedFiles;
FileList g_failedFiles;

namespace {

const char* SkipReason(PairProblem problem) {
    switch (problem) {
    case PairProblem::NotAbsolute:
        return texts::kSkipNotAbsolute;
    case PairProblem::SameOrNested:
        return texts::kSkipNested;
    case PairProblem::SourceUnreadable:
        return texts::kSkipSourceUnreadable;
    case PairProblem::TargetBusy:
        return texts::kSkipTargetBusy;
    case PairProblem::None:
        break;
    }
    return "";
}

// The lists are moved into the report, which is sized once for the whole block. A
// target folder that could not be opened is said once, after the failed entries.
void AppendOutcome(std::string& report, int targetError) {
    report.reserve(report.size() + g_failedFiles.size() + g_updatedFiles.size() + 256);
    if (!g_failedFiles.empty() || targetError != 0) {
        report += texts::kFailedHeading;
        g_failedFiles.moveTo(report);
        if (targetError != 0) {
            report += targetError == ENOENT ? texts::kTargetMissing : texts::kTargetUnopenable;
            report += texts::kLineEnd;
        }
        report += texts::kLineEnd;
    } else {
        report += texts::kNoErrors;
    }
    if (!g_updatedFiles.empty()) {
        report += texts::kUpdatedHeading;
        g_updatedFiles.moveTo(report);
        report += texts::kLineEnd;
    } else {
        report += texts::kNothingUpdated;
    }
}

// The lock a pair holds on its target root while it runs, so that two runs (two
// windows, a window and a scheduled command) never work on one target at once.
class TargetLock {
public:
    explicit TargetLock(FileSystem& fs) : fs_(fs) {}
    ~TargetLock() { fs_.closeFolder(folder_); }
    TargetLock(const TargetLock&) = delete;
    TargetLock& operator=(const TargetLock&) = delete;

    // False only while another run holds the lock. A target that does not exist, or
    // a file system without locks, has nothing to guard.
    bool take(const std::string& target) {
        if (fs_.openRoot(target, folder_) != 0) {
            folder_ = kNoFolder;
            return true;
        }
        const int error = fs_.lockFolder(folder_);
        return error != EWOULDBLOCK && error != EAGAIN;
    }

private:
    FileSystem& fs_;
    FolderHandle folder_ = kNoFolder;
};

// Runs the passes of a pair that passed its checks; false when a stop cut them short.
// Returns through `pruneSkipped` the reason line when the prune pass was left out.
bool RunPasses(PassContext& run, const PairRoots& roots, const char*& pruneSkipped) {
    const std::uint64_t failedBefore = g_syncStats.filesFailed.load();
    if (!CopyPass(run, roots)) {
        return false;
    }
    if (run.window.deleteOption()) {
        if (run.targetWriteFailed) {
            pruneSkipped = texts::kNoPruneAfterWriteFailure;
        } else if (SourceEmptyTargetNot(run.fs, roots)) {
            pruneSkipped = texts::kNoPruneEmptySource;
        } else {
            if (!PrunePass(run, roots)) {
                return false;
            }
            // Entries that were in the way of another kind are gone now: a second copy
            // pass puts the source entries in their place and lists afresh what fails.
            if (run.clearedOtherKinds) {
                g_failedFiles.clear();
                g_syncStats.filesFailed.store(failedBefore);
                run.failures.clear();
                if (!CopyPass(run, roots)) {
                    return false;
                }
            }
        }
    }
    for (const std::string& path : run.leftAlone) {
        g_failedFiles.add(path);
        g_syncStats.filesFailed.fetch_add(1, std::memory_order_relaxed);
        run.failed(path, {EntryFailure::Step::Prune, kReasonMountPoint});
    }
    for (const auto& [path, failure] : run.failures) {
        run.window.entryFailed(path, failure);
    }
    if (pruneSkipped != nullptr) {
        g_syncStats.pairsSkipped.fetch_add(1, std::memory_order_relaxed);
    }
    return true;
}

// Runs one checked pair and appends its block; false when a stop cut it short.
bool SyncPair(RunWindow& window, FileSystem& fs, int row, std::string& report) {
    const std::string source = window.rowSource(row);
    const std::string target = window.rowTarget(row);
    report += texts::kFrom + VisibleText(source) + texts::kLineEnd;
    report += texts::kTo + VisibleText(target) + texts::kLineEnd;
    window.setRowStatus(row, texts::kInProgress);
    g_failedFiles.clear();
    g_updatedFiles.clear();

    PairRoots roots;
    PairProblem problem = CheckPair(fs, source, target, roots);
    TargetLock lock(fs);
    if (problem == PairProblem::None && !lock.take(roots.target)) {
        problem = PairProblem::TargetBusy;
    }
    const char* status = texts::kDone;
    if (problem != PairProblem::None) {
        report += SkipReason(problem);
        report += texts::kLineEnd;
        g_syncStats.pairsSkipped.fetch_add(1, std::memory_order_relaxed);
        status = texts::kSkipped;
    } else {
        const std::uint64_t attributesNotKept = g_syncStats.attributesNotKept.load();
        PassContext run{window, fs};
        const char* pruneSkipped = nullptr;
        if (!RunPasses(run, roots, pruneSkipped)) {
            return false;
        }
        if (pruneSkipped != nullptr) {
            report += pruneSkipped;
            report += texts::kLineEnd;
        }
        AppendOutcome(report, run.targetError);
        if (g_syncStats.attributesNotKept.load() != attributesNotKept) {
            report += texts::kAttributesNotKept;
        }
    }
    if (window.stopped()) {
        return false;
    }
    report += texts::kSeparator;
    window.setReport(report);
    window.setRowStatus(row, status);
    g_syncStats.pairsDone.fetch_add(1, std::memory_order_relaxed);
    return true;
}

} // namespace

int SyncRun(SyncWindow& rawWindow, FileSystem& fs, const std::atomic<bool>& stop) {
    RunWindow window(rawWindow, stop);
    g_syncStats.reset();
    g_syncRunning = 1;
    if (stop) {
        g_syncRunning = 0; // a Stop that came before this first step must win
        return 0;
    }
    window.showRunning(true);
    std::string report;
    for (int row = 0; row < window.rowCount(); ++row) {
        // Index 1 is a clear check mark; 2, or 0 for a row without one, is processed.
        if (window.rowCheckState(row) == 1) {
            continue;
        }
        if (!SyncPair(window, fs, row, report)) {
            return 0;
        }
    }
    if (window.stopped()) {
        return 0;
    }
    window.showRunning(false);
    g_syncRunning = 0;
    ClearSyncThread();
    window.messageBox(texts::kFinished);
    return 0;
}

} // namespace kestrova
