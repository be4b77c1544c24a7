// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>
#include <string>

namespace kestrova::bench {

// Gives a seeded random share of the tree's files a new modification time, one that
// no generated file has, so that every chosen file differs from any earlier copy.
std::string touchFiles(const std::string& root, std::uint64_t seed, double share);

// Takes a seeded random share of the source's files out of the source (moved into
// the stash) and keeps a hard link of each one's target copy in the stash, so that
// a mirroring run has that share to delete and `restoreHidden` can put both trees
// back as they were without copying anything.
std::string hideFiles(const std::string& source, const std::string& target,
                      const std::string& stash, std::uint64_t seed, double share);
std::string restoreHidden(const std::string& source, const std::string& target,
                          const std::string& stash);

} // namespace kestrova::bench
