// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "sync/PairCheck.h"

#include "fs/FileSystem.h"

#include <utility>

namespace kestrova {

PairProblem CheckPair(FileSystem& fs, const std::string& source, const std::string& target,
                      PairRoots& roots) {
    if (!AcceptableRoot(source) || !AcceptableRoot(target)) {
        return PairProblem::NotAbsolute;
    }
    PairRoots full{FullPathForm(source), FullPathForm(target)};
    FolderHandle handle = kNoFolder;
    if (fs.openRoot(full.source, handle) != 0) {
        return PairProblem::SourceUnreadable;
    }
    fs.closeFolder(handle);
    const std::string resolvedSource = ResolvedLocation(full.source);
    const std::string resolvedTarget = ResolvedLocation(full.target);
    if (SameOrNested(resolvedSource, resolvedTarget)) {
        return PairProblem::SameOrNested;
    }
    // A bind mount, or a volume mounted on a folder, shows one folder under paths that
    // do not nest.
    FileSystemPlace sourcePlace;
    FileSystemPlace targetPlace;
    if (PlaceInFileSystem(resolvedSource, sourcePlace) &&
        PlaceInFileSystem(resolvedTarget, targetPlace) &&
        sourcePlace.device == targetPlace.device &&
        SameOrNested(sourcePlace.path, targetPlace.path)) {
        return PairProblem::SameOrNested;
    }
    roots = std::move(full);
    return PairProblem::None;
}

} // namespace kestrova
