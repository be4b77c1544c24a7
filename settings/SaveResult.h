// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include <string>

namespace kestrova {

enum class SaveStatus {
    Saved,
    // The file could not be created or put in place (for example, a folder
    // that cannot be written); the old file, if any, is untouched.
    CannotWrite,
    // Writing or flushing the new contents failed part way, as on a full disk;
    // the old file, if any, is untouched.
    DiskFull,
};

// The outcome of saving one file, with the full path of the file meant.
struct SaveResult {
    SaveStatus status = SaveStatus::Saved;
    std::string path;

    bool ok() const { return status == SaveStatus::Saved; }
};

// The text the window shows, with the stop icon, when a save failed.
// Empty for a successful save.
std::string SaveFailureMessage(const SaveResult& result);

} // namespace kestrova
