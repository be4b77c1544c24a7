// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "fs/FileSystem.h"
#include "fs/TargetNames.h"
#include "report/EntryFailure.h"
#include "report/RunWindow.h"
#include "sync/PrunePlan.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kestrova {

// What both passes of a pair work with.
struct PassContext {
    RunWindow& window;
    FileSystem& fs;
    // Set by the copy pass: 0, or the errno of opening the pair's target folder.
    int targetError = 0;
    // Set by the copy pass: how the target's file system treats names.
    TargetNames targetNames{};
    // Set by the copy pass when the target could not take a write (no space, a folder
    // that could not be created, ...); nothing is deleted after that.
    bool targetWriteFailed = false;
    // The pair's target root, open while the pair runs (kNoFolder when it cannot be):
    // the pair's changes are marked and made durable through it.
    FolderHandle targetRoot = kNoFolder;
    // Set by the copy pass before its first change to the target (the root is marked
    // unsettled then); cleared once the changes are durable.
    bool changedTarget = false;
    // Set when the target root carries the unsettled mark of a run that never finished:
    // a file of the same time but another size is then copied too, as a power cut may
    // have left a new copy short.
    bool compareSizes = false;
    // The write error the target's file system reported while the pair's changes were
    // made durable, or 0; the pair's copies are then listed as failed.
    int notOnDiskError = 0;
    // When set, the copy pass records in it what the prune pass is to delete.
    PrunePlan* prunePlan = nullptr;
    // Set by the prune pass when it cleared a target entry that was in the way of a
    // source entry of another kind (a folder where the source has a file, or the
    // reverse); the copy pass then runs again to put the source entry in its place.
    bool clearedOtherKinds = false;
    // Whether the prune pass adds the target path of each entry it deletes to
    // g_deletedFiles; it counts them in `deleted` either way.
    bool listDeleted = false;
    std::uint64_t deleted = 0;
    // Target entries the prune pass left alone and why (mount points and the source
    // itself, links it cannot remove), listed under the failure heading once the
    // pair's passes are done.
    std::vector<std::pair<std::string, int>> leftAlone{};
    // Why each listed entry failed, told to the window once the pair's passes are
    // done, so that a second copy pass does not say a failure twice.
    std::vector<std::pair<std::string, EntryFailure>> failures{};

    bool stopped() const { return window.stopped(); }
    void failed(std::string path, EntryFailure failure) {
        failures.emplace_back(std::move(path), failure);
    }
};

} // namespace kestrova
