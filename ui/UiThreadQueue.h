// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// How code on another thread hands work to the user-interface thread, whatever the
// toolkit: each toolkit implements these two with its own event queue and timers.

#include <chrono>
#include <functional>

namespace kestrova {

class UiThreadQueue {
public:
    virtual ~UiThreadQueue() = default;
    // Runs `task` on the user-interface thread soon; any thread may call it. A task
    // the queue can no longer run (its window is gone) is dropped.
    virtual void post(std::function<void()> task) = 0;
    // Runs `task` no sooner than `delay` from now; user-interface thread only.
    virtual void postAfter(std::chrono::milliseconds delay, std::function<void()> task) = 0;
};

} // namespace kestrova
