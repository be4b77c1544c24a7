// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "settings/FileContents.h"
#include "settings/PairListAccess.h"
#include "settings/SaveFileSystem.h"
#include "settings/SaveResult.h"

#include <string>
#include <string_view>

namespace kestrova {

// The pair list file "dirlist.cfg": one pair per line, the source folder, the
// first "|" on the line, then the target folder (later "|" belong to the
// target). Lines end in CR LF as the Windows program writes them; bare LF line
// ends read the same. There is no header, escaping or comment syntax.

// Appends to `list` one row per line that holds a "|". A missing or unreadable
// file adds nothing; the result tells which it was.
ReadStatus LoadPairList(PairListAccess& list);
ReadStatus LoadPairList(PairListAccess& list, const std::string& pairListFile);

// Replaces the file with the list's rows. On failure the old file is kept as
// it was and the result says why, with the file's full path.
SaveResult SavePairList(const PairListAccess& list);
SaveResult SavePairList(const PairListAccess& list, const std::string& pairListFile,
                        SaveFileSystem& fs);

// The file's bytes for the list's rows, and the rows that bytes of such a file
// hold, without touching the disk.
std::string FormatPairList(const PairListAccess& list);
void ParsePairList(std::string_view contents, PairListAccess& list);

} // namespace kestrova
