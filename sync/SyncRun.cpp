#include "sync/SyncRun.h"

#include "i18n/Translate.h"
#include "sync/CopyPass.h"
#include "sync/PairCheck.h"
#include "sync/PreviewFileSystem.h"
#include "sync/PrunePass.h"
#include "sync/RunWindow.h"
#include "sync/SyncStats.h"
#include "sync/SyncTexts.h"
#include "sync/SyncWorker.h"
#include "sync/TrashFileSystem.h"
#include "sync/VisibleText.h"

#include <cerrno>

namespace kestrova {

FileList g_updatedFiles;
FileList g_failedFiles;
FileList g_deletedFiles;
FileList g_specialsNotCreated;

namespace {

const char* SkipReason(PairProblem problem) {
    switch (problem) {
    case PairProblem::NotAbsolute:
        return Translate(texts::kSkipNotAbsolute);
    case PairProblem::SameOrNested:
        return Translate(texts::kSkipNested);
    case PairProblem::SourceUnreadable:
        return Translate(texts::kSkipSourceUnreadable);
    case PairProblem::TargetBusy:
        return Translate(texts::kSkipTargetBusy);
    case PairProblem::None:
        break;
    }
    return "";
}

// The lists are moved into the report, which is sized once for the whole block. A
// target folder that could not be opened is said once, after the failed entries.
void AppendOutcome(std::string& report, int targetError, bool preview) {
    report.reserve(report.size() + g_failedFiles.size() + g_updatedFiles.size() + 256);
    if (!g_failedFiles.empty() || targetError != 0) {
        report += Translate(texts::kFailedHeading);
        g_failedFiles.moveTo(report);
        if (targetError != 0) {
            report +=
                Translate(targetError == ENOENT ? texts::kTargetMissing : texts::kTargetUnopenable);
            report += texts::kLineEnd;
        }
        report += texts::kLineEnd;
    } else {
        report += Translate(texts::kNoErrors);
    }
    if (!g_updatedFiles.empty()) {
        report += Translate(preview ? texts::kPreviewUpdatedHeading : texts::kUpdatedHeading);
        g_updatedFiles.moveTo(report);
        report += texts::kLineEnd;
    } else {
        report += Translate(texts::kNothingUpdated);
    }
    // Left out as the target could not make them, which no later run changes: listed
    // apart from the failures, so that they do not fail every run.
    if (!g_specialsNotCreated.empty()) {
        report += Translate(texts::kSpecialsNotCreatedHeading);
        g_specialsNotCreated.moveTo(report);
        report += texts::kLineEnd;
    }
}

// The pair's deletions, after its other lists, when the prune pass ran.
void AppendDeleted(std::string& report, bool preview) {
    if (g_deletedFiles.empty()) {
        report += Translate(texts::kNothingDeleted);
        return;
    }
    report.reserve(report.size() + g_deletedFiles.size() + 64);
    report += Translate(preview ? texts::kPreviewDeletedHeading : texts::kDeletedHeading);
    g_deletedFiles.moveTo(report);
    report += texts::kLineEnd;
}

// How many entries the prune pass would delete, found by a pass over a port that
// deletes nothing; -1 when a stop cut it short.
std::int64_t DeletionsAhead(PassContext& run, const PairRoots& roots, const PrunePlan& plan) {
    PreviewFileSystem preview(run.fs);
    PassContext count{run.window, preview};
    count.targetNames = run.targetNames;
    if (!PrunePass(count, roots, plan)) {
        return -1;
    }
    return static_cast<std::int64_t>(count.deleted);
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
// Returns through `pruneSkipped` the reason line when the prune pass was left out,
// and through `pruned` whether it ran.
bool RunPasses(PassContext& run, const PairRoots& roots, const RunOptions& options,
               std::string& pruneSkipped, bool& pruned) {
    const std::uint64_t failedBefore = g_syncStats.filesFailed.load();
    // Read before the copy pass, which then notes what the prune pass is to delete;
    // the option cannot change while a run is under way.
    const bool deleteOption = run.window.deleteOption();
    PrunePlan plan;
    run.prunePlan = deleteOption ? &plan : nullptr;
    const bool copied = CopyPass(run, roots);
    run.prunePlan = nullptr;
    if (!copied) {
        return false;
    }
    if (deleteOption) {
        if (run.targetWriteFailed) {
            pruneSkipped = Translate(texts::kNoPruneAfterWriteFailure);
        } else if (SourceEmptyTargetNot(run.fs, roots)) {
            pruneSkipped = Translate(texts::kNoPruneEmptySource);
        } else if (options.maxDelete != RunOptions::kNoCap) {
            const std::int64_t ahead = DeletionsAhead(run, roots, plan);
            if (ahead < 0) {
                return false;
            }
            if (ahead > options.maxDelete) {
                pruneSkipped = Translate(texts::kNoPruneOverCapCount) + std::to_string(ahead) +
                               Translate(texts::kNoPruneOverCapLimit) +
                               std::to_string(options.maxDelete) +
                               Translate(texts::kNoPruneOverCapEnd);
            }
        }
        if (pruneSkipped.empty()) {
            pruned = true;
            if (!PrunePass(run, roots, plan)) {
                return false;
            }
            // Entries that were in the way of another kind are gone now: a second copy
            // pass puts the source entries in their place and lists afresh what fails.
            if (run.clearedOtherKinds) {
                g_failedFiles.clear();
                g_specialsNotCreated.clear();
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
    if (!pruneSkipped.empty()) {
        g_syncStats.pairsSkipped.fetch_add(1, std::memory_order_relaxed);
    }
    return true;
}

// Runs one checked pair and appends its block; false when a stop cut it short.
bool SyncPair(RunWindow& window, FileSystem& fs, TrashFileSystem& trash, const RunOptions& options,
              int row, std::string& report) {
    const std::string source = window.rowSource(row);
    const std::string target = window.rowTarget(row);
    report += Translate(texts::kFrom) + VisibleText(source) + texts::kLineEnd;
    report += Translate(texts::kTo) + VisibleText(target) + texts::kLineEnd;
    window.setRowStatus(row, Translate(texts::kInProgress));
    g_failedFiles.clear();
    g_updatedFiles.clear();
    g_deletedFiles.clear();
    g_specialsNotCreated.clear();

    PairRoots roots;
    PairProblem problem = CheckPair(fs, source, target, roots);
    TargetLock lock(fs);
    if (problem == PairProblem::None && !lock.take(roots.target)) {
        problem = PairProblem::TargetBusy;
    }
    const char* status = Translate(texts::kDone);
    if (problem != PairProblem::None) {
        report += SkipReason(problem);
        report += texts::kLineEnd;
        g_syncStats.pairsSkipped.fetch_add(1, std::memory_order_relaxed);
        status = Translate(texts::kSkipped);
    } else {
        const std::uint64_t attributesNotKept = g_syncStats.attributesNotKept.load();
        PassContext run{window, fs};
        run.listDeleted = options.listDeleted || options.preview;
        std::string pruneSkipped;
        bool pruned = false;
        if (!RunPasses(run, roots, options, pruneSkipped, pruned)) {
            return false;
        }
        if (!pruneSkipped.empty()) {
            report += pruneSkipped;
            report += texts::kLineEnd;
        }
        AppendOutcome(report, run.targetError, options.preview);
        if (g_syncStats.attributesNotKept.load() != attributesNotKept) {
            report += Translate(texts::kAttributesNotKept);
        }
        if (trash.takeTrashMissing()) {
            report += Translate(texts::kNoTrash);
        }
        if (pruned && run.listDeleted) {
            AppendDeleted(report, options.preview);
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
    const RunOptions options = window.runOptions();
    TrashFileSystem trash(fs);
    FileSystem& kept = options.trash ? trash : fs;
    PreviewFileSystem preview(kept);
    FileSystem& used = options.preview ? preview : kept;
    std::string report;
    for (int row = 0; row < window.rowCount(); ++row) {
        // Index 1 is a clear check mark; 2, or 0 for a row without one, is processed.
        if (window.rowCheckState(row) == 1) {
            continue;
        }
        if (!SyncPair(window, used, trash, options, row, report)) {
            return 0;
        }
    }
    if (window.stopped()) {
        return 0;
    }
    window.showRunning(false);
    g_syncRunning = 0;
    ClearSyncThread();
    window.messageBox(Translate(options.preview ? texts::kPreviewFinished : texts::kFinished));
    return 0;
}

} // namespace kestrova
