// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>
#include <string>

namespace kestrova::bench {

// Scenario S: many small files in a few thousand folders. Returns an error text, or
// an empty text on success. The folder must not exist yet.
std::string makeSmallTree(const std::string& root, std::uint64_t seed, int files, int folders,
                          int maxDepth);

// Scenario L: a few large files in one folder.
std::string makeLargeTree(const std::string& root, std::uint64_t seed, int files,
                          std::uint64_t bytesEach);

// Scenario Sp: sparse files of `bytesEach` bytes, each holding `dataEach` bytes of random
// data in stretches of 1 MiB spread evenly, with holes between them.
std::string makeSparseTree(const std::string& root, std::uint64_t seed, int files,
                           std::uint64_t bytesEach, std::uint64_t dataEach);

} // namespace kestrova::bench
