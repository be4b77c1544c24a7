// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace kestrova {

// The source files of one copy walk that have more than one name (hard links), each
// with the first of its names the walk met: the target copy of that name is the file
// the later names share. Files with one name never enter, so a tree without hard
// links costs nothing here; a file is forgotten once the walk has met all its names.
class HardLinks {
public:
    enum class State : std::uint8_t {
        Queued,   // its copy is under way
        InTarget, // its target copy is in place
        Failed,   // it has no target copy: the next name met takes its place
    };
    struct First {
        std::string path; // below the pair's roots, names joined by "/"
        State state = State::Queued;
        // The target copy's device and inode where it was up to date; 0 for a copy
        // made by this run, which no other target entry can share yet.
        std::uint64_t targetDevice = 0;
        std::uint64_t targetInode = 0;
        std::uint32_t namesLeft = 0; // names not met yet
    };

    // The first name met of the file at `device` and `inode`, or null.
    First* find(std::uint64_t device, std::uint64_t inode);
    // Makes `path` the first name of the file, which has `links` names; a first name
    // that failed is replaced.
    First& add(std::uint64_t device, std::uint64_t inode, std::uint32_t links,
               std::string_view path);
    // One more name of the file was met: forgets the file after its last one.
    void met(std::uint64_t device, std::uint64_t inode);
    std::size_t size() const { return files_.size(); }

private:
    struct Key {
        std::uint64_t device;
        std::uint64_t inode;
        friend bool operator==(const Key&, const Key&) = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const {
            return std::hash<std::uint64_t>()(key.inode * 0x9e3779b97f4a7c15ull ^ key.device);
        }
    };
    std::unordered_map<Key, First, KeyHash> files_;
};

} // namespace kestrova
