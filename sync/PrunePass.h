// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "sync/PairCheck.h"
#include "sync/PassContext.h"

namespace kestrova {

// Removes from the target tree what no longer exists in the source tree: files and
// links without a counterpart are deleted, folders without one are removed whole
// (DeleteTree). Only the entries the copy pass noted in `plan` are looked at, each
// looked up in the source again first: something is deleted only when the source
// says its counterpart does not exist; any other failure to look it up leaves it
// alone. Read-only files are kept, and so are the folders holding them. Nothing is
// reported. Returns false when a stop cut the pass short.
bool PrunePass(PassContext& run, const PairRoots& roots, const PrunePlan& plan);

// Whether the source root has no entries while the target root has some: the mark
// of a source that is not there (an empty mount point), whose prune pass would
// empty the whole backup.
bool SourceEmptyTargetNot(FileSystem& fs, const PairRoots& roots);

} // namespace kestrova
