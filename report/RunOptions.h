// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>

namespace kestrova {

// How a run goes beyond copying and pruning, read once when it starts.
struct RunOptions {
    // The run goes over a port that changes nothing (PreviewFileSystem) and its
    // report says what a run would copy and delete.
    bool preview = false;
    // Each pair's block lists what the prune pass deleted (always so in a preview).
    bool listDeleted = false;
    // A pair whose prune pass would delete more entries than this deletes none.
    static constexpr std::int64_t kNoCap = -1;
    std::int64_t maxDelete = kNoCap;
    // What the prune pass deletes and what a copy replaces goes to the trash.
    bool trash = false;
};

} // namespace kestrova
