// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "fs/FileSystem.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

// What the copy pass saw in the target without a counterpart in the source (or with
// one of another kind), in the order of its walk, so that the prune pass opens only
// the folders that hold something to delete instead of walking the whole target
// again. It grows with the entries to delete, not with the tree.
//
// A folder is named by the names leading to it from the target root, each followed
// by a NUL; the root is the empty name.
class PrunePlan {
public:
    enum class Step : std::uint8_t {
        Delete,     // the entry `name` of the folder goes, if the source still lacks it
        LeaveAlone, // the folder is a mount point or the source: nothing in it is touched
        Moved       // the entry was moved to where the source now has it: nothing to do
    };
    struct Item {
        std::string_view folder;
        const char* name; // "" for LeaveAlone
        EntryKind kind;
        Step step;
    };

    void clear();
    void add(std::string_view folder, std::string_view name, EntryKind kind);
    void leaveAlone(std::string_view folder);
    // Item `i` was moved away before the prune pass.
    void moved(std::size_t i) { items_[i].step = Step::Moved; }

    bool empty() const { return items_.empty(); }
    std::size_t size() const { return items_.size(); }
    Item item(std::size_t i) const;

private:
    void addItem(std::string_view folder, std::string_view name, EntryKind kind, Step step);
    struct Stored {
        std::size_t folderOffset;
        std::size_t nameOffset;
        std::uint32_t folderLength;
        EntryKind kind;
        Step step;
    };
    std::string folders_; // each folder once per run of items in it
    std::string names_;   // NUL-terminated
    std::vector<Stored> items_;
};

// Splits a folder of a plan into its names: calls `each(name)` for each, from the root.
template <typename Each> void ForEachName(std::string_view folder, Each&& each) {
    for (std::size_t at = 0; at < folder.size();) {
        const std::size_t end = folder.find('\0', at);
        each(folder.data() + at);
        at = end + 1;
    }
}

} // namespace kestrova
