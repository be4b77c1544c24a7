// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrova {

// The text of the progress display: the counters, then as much of the end of
// `path` as fits in `width` columns (cut at a character boundary).
std::string ProgressText(std::uint64_t examined, std::uint64_t copied, std::uint64_t failed,
                         const std::string& path, std::size_t width);

} // namespace kestrova
