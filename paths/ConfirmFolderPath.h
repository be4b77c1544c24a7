// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "paths/FolderFileSystem.h"
#include "paths/FolderPathValidation.h"
#include "paths/MessagePrompt.h"
#include "paths/PathStyle.h"

#include <string_view>

namespace kestrova {

// What the folder browser's OK button runs. Checks the form of the path; if
// the path does not exist, asks whether to create it and does so on Yes; tells
// the user of an invalid path, of a file where the folder should be, or of a
// folder that cannot be created. Returns kFolderPathOk, kFolderPathDeclined,
// kFolderPathInvalid, kFolderPathNotAFolder or kFolderPathNotCreated.
int ConfirmFolderPath(std::string_view path, MessagePrompt& prompt, FolderFileSystem& fs,
                      PathStyle style = kNativePathStyle);

// The same on the real file system in the native path style.
int ConfirmFolderPath(std::string_view path, MessagePrompt& prompt);

// What the pair editor's OK runs on each box: a path of the right form that names a
// file, not a folder, is refused with a message, and the function says it was. Any
// other text passes without a word, whatever it holds.
bool RefuseNonFolder(std::string_view path, MessagePrompt& prompt, FolderFileSystem& fs,
                     PathStyle style = kNativePathStyle);

// The same on the real file system in the native path style.
bool RefuseNonFolder(std::string_view path, MessagePrompt& prompt);

} // namespace kestrova
