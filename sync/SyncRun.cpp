// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "sync/SyncRun.h"

#include "fs/PreviewFileSystem.h"
#include "fs/TrashFileSystem.h"
#include "i18n/Translate.h"
#include "report/RunWindow.h"
#include "report/SyncStats.h"
#include "report/SyncTexts.h"
#include "report/VisibleText.h"
#include "sync/CopyPass.h"
#include "sync/PairCheck.h"
#include "sync/PrunePass.h"
#include "sync/SyncWorker.h"

#include <cerrno>

namespace kestrova {

FileList g_updatedFiles;
FileList g_failedFiles;
FileList g_deletedFiles;
FileList g_specialsNotCreated;

namespace {

// The reason a skipped pair gives on its failure line.
int SkipReasonCode(PairProblem problem) {
    switch (problem) {
    case PairProblem::NotAbsolute:
        return kReasonNotAbsolute;
    case PairProblem::SameOrNested:
        return kReasonNested;
    case PairProblem::SourceUnreadable:
        return kReasonSourceUnreadable;
    case PairProblem::TargetBusy:
        return kReasonTargetBusy;
    case PairProblem::None:
        break;
    }
    return 0;
}

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

// The lists are moved into the report. A target folder that could not be opened is
// said once, after the failed entries; so is a write error that came before the
// copies were on disk, after the copies, which are listed as failed.
void AppendOutcome(SpooledText& report, int targetError, bool notOnDisk, bool preview) {
    if (!g_failedFiles.empty() || targetError != 0 || notOnDisk) {
        report.append(Translate(texts::kFailedHeading));
        g_failedFiles.moveTo(report);
        if (targetError != 0) {
            report.append(Translate(targetError == ENOENT ? texts::kTargetMissing
                                                          : texts::kTargetUnopenable));
            report.append(texts::kLineEnd);
        }
        if (notOnDisk) {
            g_updatedFiles.moveTo(report);
            report.append(Translate(texts::kCopiesNotOnDisk));
            report.append(texts::kLineEnd);
        }
        report.append(texts::kLineEnd);
    } else {
        report.append(Translate(texts::kNoErrors));
    }
    if (!g_updatedFiles.empty()) {
        report.append(Translate(preview ? texts::kPreviewUpdatedHeading : texts::kUpdatedHeading));
        g_updatedFiles.moveTo(report);
        report.append(texts::kLineEnd);
    } else {
        report.append(Translate(texts::kNothingUpdated));
    }
    // Left out as the target could not make them, which no later run changes: listed
    // apart from the failures, so that they do not fail every run.
    if (!g_specialsNotCreated.empty()) {
        report.append(Translate(texts::kSpecialsNotCreatedHeading));
        g_specialsNotCreated.moveTo(report);
        report.append(texts::kLineEnd);
    }
}

// The pair's deletions, after its other lists, when the prune pass ran.
void AppendDeleted(SpooledText& report, bool preview) {
    if (g_deletedFiles.empty()) {
        report.append(Translate(texts::kNothingDeleted));
        return;
    }
    report.append(Translate(preview ? texts::kPreviewDeletedHeading : texts::kDeletedHeading));
    g_deletedFiles.moveTo(report);
    report.append(texts::kLineEnd);
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

    // The target root, open while the pair runs; kNoFolder when it could not be opened.
    FolderHandle folder() const { return folder_; }

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

// Makes the changes of the pair's copy pass durable, before the pair says they are
// done and before its prune pass deletes anything. A write error the target's file
// system reports now may have hit any of the pass's copies: they all count as failed
// writes, and nothing is deleted.
void MakeDurable(PassContext& run, const PairRoots& roots, std::uint64_t copiedBefore) {
    if (!run.changedTarget && !run.compareSizes) {
        return; // nothing was written, and no mark is left to clear
    }
    run.changedTarget = false;
    const int error = run.fs.makeDurable(run.targetRoot);
    if (error == 0) {
        return;
    }
    run.notOnDiskError = error;
    run.targetWriteFailed = true;
    const std::uint64_t copies = g_syncStats.filesCopied.load() - copiedBefore;
    g_syncStats.filesCopied.fetch_sub(copies);
    g_syncStats.filesFailed.fetch_add(copies > 0 ? copies : 1);
    run.failed(roots.target, {EntryFailure::Step::MakeDurable, error});
}

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
    run.compareSizes = run.targetRoot != kNoFolder && run.fs.unsettled(run.targetRoot);
    const std::uint64_t copiedBefore = g_syncStats.filesCopied.load();
    const bool copied = CopyPass(run, roots);
    run.prunePlan = nullptr;
    if (!copied) {
        return false;
    }
    MakeDurable(run, roots, copiedBefore);
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
                const std::uint64_t copiedFirst = g_syncStats.filesCopied.load();
                if (!CopyPass(run, roots)) {
                    return false;
                }
                MakeDurable(run, roots, copiedFirst);
            }
        }
    }
    for (const auto& [path, reason] : run.leftAlone) {
        g_failedFiles.add(path);
        g_syncStats.filesFailed.fetch_add(1, std::memory_order_relaxed);
        run.failed(path, {EntryFailure::Step::Prune, reason});
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
              int row, SpooledText& report) {
    const std::string source = window.rowSource(row);
    const std::string target = window.rowTarget(row);
    report.append(Translate(texts::kFrom) + VisibleText(source) + texts::kLineEnd);
    report.append(Translate(texts::kTo) + VisibleText(target) + texts::kLineEnd);
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
        window.entryFailed(target, {EntryFailure::Step::SkipPair, SkipReasonCode(problem)});
        report.append(SkipReason(problem));
        report.append(texts::kLineEnd);
        g_syncStats.pairsSkipped.fetch_add(1, std::memory_order_relaxed);
        status = Translate(texts::kSkipped);
    } else {
        const std::uint64_t attributesNotKept = g_syncStats.attributesNotKept.load();
        PassContext run{window, fs};
        run.targetRoot = lock.folder();
        run.listDeleted = options.listDeleted || options.preview;
        std::string pruneSkipped;
        bool pruned = false;
        if (!RunPasses(run, roots, options, pruneSkipped, pruned)) {
            return false;
        }
        if (!pruneSkipped.empty()) {
            report.append(pruneSkipped);
            report.append(texts::kLineEnd);
        }
        AppendOutcome(report, run.targetError, run.notOnDiskError != 0, options.preview);
        if (g_syncStats.attributesNotKept.load() != attributesNotKept) {
            report.append(Translate(texts::kAttributesNotKept));
        }
        if (trash.takeTrashMissing()) {
            report.append(Translate(texts::kNoTrash));
        }
        if (pruned && run.listDeleted) {
            AppendDeleted(report, options.preview);
        }
    }
    if (window.stopped()) {
        return false;
    }
    report.append(texts::kSeparator);
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
    // The report lives in a temporary file: a first copy of millions of files lists
    // every one of them.
    SpooledText report;
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
