// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// Hands work to the user-interface thread through one window's message queue: a
// posted private message carries each task, a window timer each delayed one. The
// window passes its messages to handle(); tasks still queued when the window goes
// are dropped.

#include "ui/UiThreadQueue.h"

#include <windows.h>

#include <atomic>
#include <map>

namespace kestrova::win32 {

class WindowTaskQueue : public UiThreadQueue {
public:
    // The private message that carries a task.
    static constexpr UINT kTaskMessage = WM_APP + 1;

    WindowTaskQueue() = default;
    ~WindowTaskQueue() override;
    WindowTaskQueue(const WindowTaskQueue&) = delete;
    WindowTaskQueue& operator=(const WindowTaskQueue&) = delete;

    // The window whose queue carries the tasks; null drops every task from now on.
    void attach(HWND window);

    void post(std::function<void()> task) override;
    void postAfter(std::chrono::milliseconds delay, std::function<void()> task) override;

    // Runs the task a message carries; returns false for every other message.
    bool handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    // Removes the tasks still queued for `window` without running them.
    void drop(HWND window);

    // Read by the threads that post.
    std::atomic<HWND> m_window = nullptr;
    std::map<UINT_PTR, std::function<void()>> m_delayed;
    // Timer ids of delayed tasks, apart from the window's own timers.
    UINT_PTR m_nextTimer = 0x4000;
};

} // namespace kestrova::win32
