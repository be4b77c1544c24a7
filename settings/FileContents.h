#pragma once

#include <string>

namespace kestrova {

enum class ReadStatus {
    Read,
    Missing,    // the file, or a folder leading to it, does not exist
    Unreadable, // it exists but could not be read in full
};

// Reads the whole file as bytes into `contents` (emptied first, and left empty
// unless the whole file was read).
ReadStatus ReadWholeFile(const std::string& path, std::string& contents);

} // namespace kestrova
