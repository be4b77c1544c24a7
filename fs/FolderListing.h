// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "fs/FileSystem.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

// The entries of one folder. Names share one buffer, each followed by a NUL so it
// can be handed to the *at calls directly; a listing is reused from folder to folder
// so that walking a tree does not allocate per entry.
class FolderListing {
public:
    void clear();
    void add(std::string_view name, EntryKind kind);
    // Byte order of the names, the order in which NTFS enumerates them.
    void sortByName();
    // Any other order of the names: `less(a, b)` on two string_views.
    template <typename Less> void sortBy(Less less) {
        const char* base = names_.data();
        std::sort(entries_.begin(), entries_.end(), [base, &less](const Entry& a, const Entry& b) {
            return less(std::string_view(base + a.nameOffset, a.nameLength),
                        std::string_view(base + b.nameOffset, b.nameLength));
        });
    }

    std::size_t size() const { return entries_.size(); }
    const char* name(std::size_t i) const { return names_.data() + entries_[i].nameOffset; }
    std::string_view nameView(std::size_t i) const { return {name(i), entries_[i].nameLength}; }
    EntryKind kind(std::size_t i) const { return entries_[i].kind; }

private:
    struct Entry {
        std::uint32_t nameOffset;
        std::uint32_t nameLength;
        EntryKind kind;
    };
    std::string names_;
    std::vector<Entry> entries_;
};

} // namespace kestrova
