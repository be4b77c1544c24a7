// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// The program's string table and the identifiers of its image resources.

namespace kestrova {

inline constexpr int kAppIconId = 128;       // the application icon, 32 x 32
inline constexpr int kFoldersBitmapId = 132; // the list's 16 x 16 image, magenta transparent
inline constexpr int kAboutMenuStringId = 101;

// Text (UTF-8) of string resource `id`; empty when the table has no such string.
const char* LoadResourceString(int id);

} // namespace kestrova
