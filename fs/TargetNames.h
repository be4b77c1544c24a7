// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "fs/FileSystem.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

class FolderListing;

// How the file system of a pair's target treats names, found by trying it (a USB
// drive's FAT or exFAT matches names regardless of letter case and refuses the
// characters Windows refuses; NTFS through its usual Linux driver does neither).
struct TargetNames {
    // Names that differ in letter case only are one name there.
    bool caseInsensitive = false;
    // Names Windows cannot use (see StorableOnWindows) are refused there.
    bool windowsNames = false;
    // Names Windows keeps for devices (see WindowsDeviceName) are refused there.
    bool deviceNames = false;
};

// Probes the open target root `folder` with a sub-folder made for the purpose and
// removed again.
TargetNames ProbeTargetNames(FileSystem& fs, FolderHandle folder);

// The name in upper case as such file systems match names: ASCII, Latin, Greek,
// Cyrillic and full-width letters; other bytes are kept as they are.
std::string FoldCase(std::string_view name);

// Whether a file system that keeps to Windows' names can hold `name`: none of
// : ? * " < > | \ nor control characters, and no dot or space at its end.
bool StorableOnWindows(std::string_view name);

// Whether Windows takes `name` for a device: CON, PRN, AUX, NUL, COM1 to COM9 and
// LPT1 to LPT9 (COM and LPT also with ¹, ² or ³), in any letter case, alone or
// before a dot or spaces ("aux.txt"). Such files can be made through "\\?\" paths
// only, and most programs cannot open or delete them then.
bool WindowsDeviceName(std::string_view name);

// Whether the listing holds exactly `name`.
bool Lists(const FolderListing& listing, std::string_view name);

// The entries of one folder by their case-folded names, to match names as a
// case-insensitive target does.
class FoldedNames {
public:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    void build(const FolderListing& listing);
    // The index in the listing of the first entry (in listing order) whose name matches
    // `name` regardless of case, or kNone.
    std::size_t find(std::string_view name) const;

private:
    struct Key {
        std::string folded;
        std::size_t index;
    };
    std::vector<Key> keys_;
};

} // namespace kestrova
