// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "sync/PrunePlan.h"

namespace kestrova {

void PrunePlan::clear() {
    folders_.clear();
    names_.clear();
    items_.clear();
}

void PrunePlan::add(std::string_view folder, std::string_view name, EntryKind kind) {
    addItem(folder, name, kind, Step::Delete);
}

void PrunePlan::leaveAlone(std::string_view folder) {
    addItem(folder, {}, EntryKind::Folder, Step::LeaveAlone);
}

void PrunePlan::addItem(std::string_view folder, std::string_view name, EntryKind kind, Step step) {
    // Items of one folder come one after another; the folder is kept once for them.
    std::size_t folderOffset = folders_.size();
    if (!items_.empty()) {
        const Stored& last = items_.back();
        if (std::string_view(folders_).substr(last.folderOffset, last.folderLength) == folder) {
            folderOffset = last.folderOffset;
        }
    }
    if (folderOffset == folders_.size()) {
        folders_.append(folder);
    }
    items_.push_back(
        {folderOffset, names_.size(), static_cast<std::uint32_t>(folder.size()), kind, step});
    names_.append(name);
    names_.push_back('\0');
}

PrunePlan::Item PrunePlan::item(std::size_t i) const {
    const Stored& stored = items_[i];
    return {std::string_view(folders_).substr(stored.folderOffset, stored.folderLength),
            names_.data() + stored.nameOffset, stored.kind, stored.step};
}

} // namespace kestrova
