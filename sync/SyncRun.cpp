#include "sync/SyncRun.h"

#include "i18n/Translate.h"
#include "sync/CopyPass.h"
#include "sync/PairCheck.h"
#include "sync/PrunePass.h"
#include "sync/RunWindow.h"
#include "sync/SyncStats.h"
#include "sync/SyncTexts.h"
#include "sync/SyncWorker.h"

namespace kestrova {

FileList g_updatedFiles;
FileList g_failedFiles;

namespace {

const char* SkipReason(PairProblem problem) {
    switch (problem) {
    case PairProblem::NotAbsolute:
        return Translate(texts::kSkipNotAbsolute);
    case PairProblem::SameOrNested:
        return Translate(texts::kSkipNested);
    case PairProblem::SourceUnreadable:
        return Translate(texts::kSkipSourceUnreadable);
    case PairProblem::None:
        break;
    }
    return "";
}

// The lists are moved into the report, which is sized once for the whole block.
void AppendOutcome(std::string& report) {
    report.reserve(report.size() + g_failedFiles.size() + g_updatedFiles.size() + 256);
    if (!g_failedFiles.empty()) {
        report += Translate(texts::kFailedHeading);
        g_failedFiles.moveTo(report);
        report += texts::kLineEnd;
    } else {
        report += Translate(texts::kNoErrors);
    }
    if (!g_updatedFiles.empty()) {
        report += Translate(texts::kUpdatedHeading);
        g_updatedFiles.moveTo(report);
        report += texts::kLineEnd;
    } else {
        report += Translate(texts::kNothingUpdated);
    }
}

// Runs one checked pair and appends its block; false when a stop cut it short.
bool SyncPair(RunWindow& window, FileSystem& fs, int row, std::string& report) {
    const std::string source = window.rowSource(row);
    const std::string target = window.rowTarget(row);
    report += Translate(texts::kFrom) + source + texts::kLineEnd;
    report += Translate(texts::kTo) + target + texts::kLineEnd;
    window.setRowStatus(row, Translate(texts::kInProgress));
    g_failedFiles.clear();
    g_updatedFiles.clear();

    PairRoots roots;
    const PairProblem problem = CheckPair(fs, source, target, roots);
    const char* status = Translate(texts::kDone);
    if (problem != PairProblem::None) {
        report += SkipReason(problem);
        report += texts::kLineEnd;
        g_syncStats.pairsSkipped.fetch_add(1, std::memory_order_relaxed);
        status = Translate(texts::kSkipped);
    } else {
        PassContext run{window, fs};
        if (!CopyPass(run, roots)) {
            return false;
        }
        if (window.deleteOption() && !PrunePass(run, roots)) {
            return false;
        }
        AppendOutcome(report);
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
    window.messageBox(Translate(texts::kFinished));
    return 0;
}

} // namespace kestrova
