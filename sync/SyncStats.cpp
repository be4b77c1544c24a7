#include "sync/SyncStats.h"

namespace kestrova {

SyncStats g_syncStats;

void SyncStats::reset() {
    filesExamined = 0;
    filesCopied = 0;
    filesFailed = 0;
    attributesNotKept = 0;
    pairsSkipped = 0;
    pairsDone = 0;
}

} // namespace kestrova
