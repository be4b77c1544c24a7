// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include <string>
#include <string_view>

namespace kestrova {

enum class ReadStatus {
    Read,
    Missing,    // the file, or a folder leading to it, does not exist
    Unreadable, // it exists but is not a regular file or could not be read in full
};

// Reads the whole file as bytes into `contents` (emptied first, and left empty
// unless the whole file was read).
ReadStatus ReadWholeFile(const std::string& path, std::string& contents);

// The program's UTF-8 text from the bytes of a text file. Files are written in
// UTF-8. On Windows, a file that is not valid UTF-8 was written by the Windows
// program in the ANSI code page and is converted from it; elsewhere the bytes stay.
std::string TextFromFile(std::string bytes);

#ifdef _WIN32
// `bytes` in the Windows code page `codePage`, as UTF-8.
std::string TextFromCodePage(std::string_view bytes, unsigned codePage);
#endif

} // namespace kestrova
