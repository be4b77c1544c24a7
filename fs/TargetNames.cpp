// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "fs/TargetNames.h"

#include "fs/FolderListing.h"

#include <algorithm>
#include <cerrno>

namespace kestrova {

namespace {

constexpr const char* kProbe = ".kestrova-probe";
constexpr const char* kProbeUpper = ".KESTROVA-PROBE";
constexpr const char* kProbeColon = ".kestrova-probe:";
constexpr const char* kProbeDevice = "NUL.kestrova-probe";

// The upper-case letter of `c` where case-insensitive file systems pair it with one.
char32_t UpperOf(char32_t c) {
    const auto between = [c](char32_t low, char32_t high) { return c >= low && c <= high; };
    if (between(U'a', U'z') || (between(0xE0, 0xFE) && c != 0xF7) || between(0x3B1, 0x3C1) ||
        between(0x3C3, 0x3CB) || between(0x430, 0x44F) || between(0xFF41, 0xFF5A)) {
        return c - 0x20;
    }
    if (between(0x450, 0x45F)) {
        return c - 0x50;
    }
    // Latin Extended-A and the Cyrillic extensions pair letters as upper, lower.
    if ((between(0x100, 0x12F) || between(0x132, 0x137) || between(0x14A, 0x177) ||
         between(0x460, 0x481) || between(0x48A, 0x4BF)) &&
        (c & 1) != 0) {
        return c - 1;
    }
    if ((between(0x139, 0x148) || between(0x179, 0x17E)) && (c & 1) == 0) {
        return c - 1;
    }
    switch (c) {
    case 0xFF:
        return 0x178;
    case 0x3C2: // final sigma
        return 0x3A3;
    case 0x3AC:
        return 0x386;
    case 0x3AD:
    case 0x3AE:
    case 0x3AF:
        return c - 0x25;
    case 0x3CC:
        return 0x38C;
    case 0x3CD:
    case 0x3CE:
        return c - 0x3F;
    default:
        return c;
    }
}

// Decodes the UTF-8 sequence at `at`; 0 when the bytes there are not one.
std::size_t Decode(std::string_view text, std::size_t at, char32_t& c) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0x80                   ? 1
                               : lead >= 0xC2 && lead < 0xE0 ? 2
                               : lead >= 0xE0 && lead < 0xF0 ? 3
                               : lead >= 0xF0 && lead < 0xF5 ? 4
                                                             : 0;
    if (length == 0 || at + length > text.size()) {
        return 0;
    }
    c = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        c = (c << 6) | (next & 0x3F);
    }
    return length;
}

void Encode(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

TargetNames ProbeTargetNames(FileSystem& fs, FolderHandle folder) {
    TargetNames names;
    const int made = fs.createFolder(folder, kProbe);
    if (made != 0 && made != EEXIST) {
        return names; // nothing can be made there: names are taken to be told by case
    }
    // The upper-case name finds the probe, and the folder lists no entry of its own
    // under it. (Drivers through FUSE give each name its own inode number, and keep a
    // removed name found for a while, so neither can tell.)
    FolderListing listed;
    names.caseInsensitive = fs.lookUp(folder, kProbeUpper).error == 0 &&
                            fs.enumerate(folder, listed) == 0 && Lists(listed, kProbe) &&
                            !Lists(listed, kProbeUpper);
    fs.removeFolder(folder, kProbe);
    const int colon = fs.createFolder(folder, kProbeColon);
    if (colon == 0 || colon == EEXIST) {
        fs.removeFolder(folder, kProbeColon);
    } else {
        names.windowsNames = true;
    }
    const int device = fs.createFolder(folder, kProbeDevice);
    if (device == 0 || device == EEXIST) {
        fs.removeFolder(folder, kProbeDevice);
    } else {
        names.deviceNames = true;
    }
    return names;
}

std::string FoldCase(std::string_view name) {
    std::string folded;
    folded.reserve(name.size());
    for (std::size_t at = 0; at < name.size();) {
        char32_t c = 0;
        const std::size_t length = Decode(name, at, c);
        if (length == 0) {
            folded += name[at++];
            continue;
        }
        Encode(UpperOf(c), folded);
        at += length;
    }
    return folded;
}

bool StorableOnWindows(std::string_view name) {
    if (name.empty() || name.back() == '.' || name.back() == ' ') {
        return false;
    }
    return std::none_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 ||
               std::string_view(":?*\"<>|\\").find(c) != std::string_view::npos;
    });
}

bool WindowsDeviceName(std::string_view name) {
    std::string_view base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ') {
        base.remove_suffix(1);
    }
    std::string upper(base);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL") {
        return true;
    }
    if (!upper.starts_with("COM") && !upper.starts_with("LPT")) {
        return false;
    }
    const std::string_view number = std::string_view(upper).substr(3);
    return (number.size() == 1 && number[0] >= '1' && number[0] <= '9') || number == "\xc2\xb9" ||
           number == "\xc2\xb2" || number == "\xc2\xb3";
}

bool Lists(const FolderListing& listing, std::string_view name) {
    // Listings are in byte order of their names.
    std::size_t low = 0;
    std::size_t high = listing.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (listing.nameView(middle) < name) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low < listing.size() && listing.nameView(low) == name;
}

void FoldedNames::build(const FolderListing& listing) {
    keys_.clear();
    keys_.reserve(listing.size());
    for (std::size_t i = 0; i < listing.size(); ++i) {
        keys_.push_back({FoldCase(listing.nameView(i)), i});
    }
    std::stable_sort(keys_.begin(), keys_.end(),
                     [](const Key& a, const Key& b) { return a.folded < b.folded; });
}

std::size_t FoldedNames::find(std::string_view name) const {
    const std::string folded = FoldCase(name);
    const auto at = std::lower_bound(
        keys_.begin(), keys_.end(), folded,
        [](const Key& key, const std::string& value) { return key.folded < value; });
    return at != keys_.end() && at->folded == folded ? at->index : kNone;
}

} // namespace kestrova
