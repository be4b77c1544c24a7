// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "fs/FolderListing.h"

#include <algorithm>

namespace kestrova {

void FolderListing::clear() {
    names_.clear();
    entries_.clear();
}

void FolderListing::add(std::string_view name, EntryKind kind) {
    const auto offset = static_cast<std::uint32_t>(names_.size());
    names_.append(name);
    names_.push_back('\0');
    entries_.push_back({offset, static_cast<std::uint32_t>(name.size()), kind});
}

void FolderListing::sortByName() {
    const char* base = names_.data();
    std::sort(entries_.begin(), entries_.end(), [base](const Entry& a, const Entry& b) {
        // string_view compares bytes as unsigned values, like memcmp.
        return std::string_view(base + a.nameOffset, a.nameLength) <
               std::string_view(base + b.nameOffset, b.nameLength);
    });
}

} // namespace kestrova
