// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "paths/FolderFileSystem.h"
#include "paths/PathStyle.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrova {

// Result codes of ValidateFolderPath and ConfirmFolderPath; the folder browser
// accepts a path on kFolderPathOk and keeps its window open on any other code.
inline constexpr int kFolderPathOk = 0;
inline constexpr int kFolderPathDeclined = -1; // ConfirmFolderPath only
inline constexpr int kFolderPathInvalid = 1;
inline constexpr int kFolderPathNotCreated = 2; // create mode only
inline constexpr int kFolderPathNotAFolder = 3; // ConfirmFolderPath only: a file is there

// Judges one name between separators. Windows style: not empty, no tab, space
// or full stop at either end, none of " * / : < > ? \ |. POSIX style: not
// empty, not "." or "..", no tab or space at either end, no "/", at most 255
// bytes. In both styles a NUL byte makes the name invalid, since the file
// system would see only the part before it.
bool IsValidPathComponent(std::string_view name, PathStyle style = kNativePathStyle);

// Judges the form of an absolute folder path: the root of its style, then
// valid names separated by single separators, nothing after the last name,
// at most MaxFolderPathBytes(style) bytes. With checkOnly the file system is
// not touched. Otherwise (create mode) each folder along the path is created,
// outer first, and must be a folder right after (a file in its place is not);
// folders made before a failure stay.
// A path of the wrong form gives kFolderPathInvalid in either mode and
// nothing is created for it. A bare root is never created.
int ValidateFolderPath(std::string_view path, bool checkOnly, FolderFileSystem& fs,
                       PathStyle style = kNativePathStyle);

// Cuts a typed path to at most `limit` bytes without splitting a UTF-8 character,
// so a cut path never names a folder with a broken character at its end.
std::string CutToPathLimit(std::string text, std::size_t limit);

} // namespace kestrova
