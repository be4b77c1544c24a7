// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "settings/SaveFileSystem.h"
#include "settings/SaveResult.h"

#include <string>
#include <string_view>

namespace kestrova {

// Replaces the file at `path` with `contents` so that it is never seen empty
// or half written: the contents go to a new file in the same folder, are
// flushed to disk and then renamed over the old file. On any failure the old
// file stays exactly as it was and the new file is removed. Missing folders
// leading to `path` are created first.
SaveResult ReplaceFile(const std::string& path, std::string_view contents, SaveFileSystem& fs);

} // namespace kestrova
