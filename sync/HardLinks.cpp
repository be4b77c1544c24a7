// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "sync/HardLinks.h"

namespace kestrova {

HardLinks::First* HardLinks::find(std::uint64_t device, std::uint64_t inode) {
    const auto found = files_.find({device, inode});
    return found == files_.end() ? nullptr : &found->second;
}

HardLinks::First& HardLinks::add(std::uint64_t device, std::uint64_t inode, std::uint32_t links,
                                 std::string_view path) {
    First& first = files_[{device, inode}];
    const bool known = !first.path.empty();
    first.path.assign(path);
    first.state = State::Queued;
    first.targetDevice = 0;
    first.targetInode = 0;
    if (!known) {
        first.namesLeft = links - 1;
    }
    return first;
}

void HardLinks::met(std::uint64_t device, std::uint64_t inode) {
    const auto found = files_.find({device, inode});
    if (found != files_.end() && (found->second.namesLeft == 0 || --found->second.namesLeft == 0)) {
        files_.erase(found);
    }
}

} // namespace kestrova
