#pragma once

#include "sync/PairCheck.h"
#include "sync/PassContext.h"

namespace kestrova {

// Brings the target tree up to date with the source tree: every file or link that
// is missing in the target or whose modification time differs is copied, and every
// sub-folder is created on the way down. Source paths of copied entries go to
// g_updatedFiles, those that could not be copied (and unreadable source folders and
// special files) to g_failedFiles. Returns false when a stop cut the pass short.
bool CopyPass(PassContext& run, const PairRoots& roots);

} // namespace kestrova
