// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "sync/PairCheck.h"
#include "sync/PassContext.h"

namespace kestrova {

// Brings the target tree up to date with the source tree: every file, link or special
// file that is missing in the target or whose modification time differs is copied
// (a file's further names made names of its copy), and every sub-folder is created on
// the way down and given its source's owner, permission bits and time once complete.
// Source paths of copied entries go to g_updatedFiles, those that could not be copied
// (and unreadable source folders) to g_failedFiles, special files the target could not
// make to g_specialsNotCreated. Returns false when a stop cut the pass short.
bool CopyPass(PassContext& run, const PairRoots& roots);

} // namespace kestrova
