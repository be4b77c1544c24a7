// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/win32/WindowTaskQueue.h"

#include <memory>

namespace kestrova::win32 {

namespace {

using Task = std::function<void()>;

} // namespace

WindowTaskQueue::~WindowTaskQueue() {
    drop(m_window.exchange(nullptr));
}

// The old window stops taking tasks before those it holds are dropped.
void WindowTaskQueue::attach(HWND window) {
    drop(m_window.exchange(window));
}

void WindowTaskQueue::drop(HWND window) {
    if (window == nullptr) {
        return;
    }
    MSG message;
    while (PeekMessageW(&message, window, kTaskMessage, kTaskMessage, PM_REMOVE)) {
        delete reinterpret_cast<Task*>(message.lParam);
    }
    for (const auto& [id, task] : m_delayed) {
        KillTimer(window, id);
    }
    m_delayed.clear();
}

void WindowTaskQueue::post(std::function<void()> task) {
    const HWND window = m_window;
    if (window == nullptr) {
        return;
    }
    auto carried = std::make_unique<Task>(std::move(task));
    if (PostMessageW(window, kTaskMessage, 0, reinterpret_cast<LPARAM>(carried.get()))) {
        carried.release(); // the message owns it now
    }
}

void WindowTaskQueue::postAfter(std::chrono::milliseconds delay, std::function<void()> task) {
    const HWND window = m_window;
    if (window == nullptr) {
        return;
    }
    const UINT_PTR id = m_nextTimer++;
    if (SetTimer(window, id, static_cast<UINT>(delay.count()), nullptr) != 0) {
        m_delayed.emplace(id, std::move(task));
    }
}

bool WindowTaskQueue::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kTaskMessage) {
        const std::unique_ptr<Task> task(reinterpret_cast<Task*>(lParam));
        if (*task) {
            (*task)();
        }
        return true;
    }
    if (message != WM_TIMER) {
        return false;
    }
    const auto found = m_delayed.find(wParam);
    if (found == m_delayed.end()) {
        return false;
    }
    KillTimer(m_window, wParam);
    const Task task = std::move(found->second);
    m_delayed.erase(found);
    task();
    return true;
}

} // namespace kestrova::win32
