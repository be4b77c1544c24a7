// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/PostedRunWindow.h"

namespace kestrova {

PostedRunWindow::PostedRunWindow(SyncWindow& window, UiThreadQueue& queue)
    : m_window(window), m_queue(queue), m_shared(std::make_shared<Shared>()) {}

void PostedRunWindow::release() {
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->released = true;
    }
    m_shared->answered.notify_all();
}

template <class Result>
Result PostedRunWindow::ask(Result fallback, std::function<Result()> request) {
    struct Reply {
        bool done = false;
        Result value;
    };
    auto reply = std::make_shared<Reply>(Reply{false, fallback});
    const std::shared_ptr<Shared> shared = m_shared;
    {
        std::lock_guard lock(shared->mutex);
        if (shared->released) {
            return fallback;
        }
    }
    m_queue.post(
        [&window = m_window, &queue = m_queue, shared, reply, request = std::move(request)] {
            {
                std::lock_guard lock(shared->mutex);
                if (shared->released) {
                    return;
                }
            }
            // A status line still waiting is shown first, so effects keep their order.
            showStatus(window, queue, shared, true);
            Result value = request();
            {
                std::lock_guard lock(shared->mutex);
                reply->value = std::move(value);
                reply->done = true;
            }
            shared->answered.notify_all();
        });

    std::unique_lock lock(shared->mutex);
    shared->answered.wait(lock, [&] { return reply->done || shared->released; });
    return reply->done ? reply->value : fallback;
}

void PostedRunWindow::tell(std::function<void()> request) {
    ask<bool>(false, [request = std::move(request)] {
        request();
        return true;
    });
}

int PostedRunWindow::rowCount() {
    return ask<int>(0, [&window = m_window] { return window.rowCount(); });
}

// A released run reads every row as unchecked, so it starts no further pair.
int PostedRunWindow::rowCheckState(int row) {
    return ask<int>(1, [&window = m_window, row] { return window.rowCheckState(row); });
}

std::string PostedRunWindow::rowSource(int row) {
    return ask<std::string>({}, [&window = m_window, row] { return window.rowSource(row); });
}

std::string PostedRunWindow::rowTarget(int row) {
    return ask<std::string>({}, [&window = m_window, row] { return window.rowTarget(row); });
}

void PostedRunWindow::setRowStatus(int row, const std::string& text) {
    tell([&window = m_window, row, text] { window.setRowStatus(row, text); });
}

void PostedRunWindow::setStatusLine(const std::string& text) {
    const std::shared_ptr<Shared> shared = m_shared;
    {
        std::lock_guard lock(shared->mutex);
        if (shared->released) {
            return;
        }
        shared->latestStatus = text;
        if (shared->statusQueued) {
            return;
        }
        shared->statusQueued = true;
    }
    m_queue.post([&window = m_window, &queue = m_queue, shared] {
        showStatus(window, queue, shared, false);
    });
}

void PostedRunWindow::showStatus(SyncWindow& window, UiThreadQueue& queue,
                                 const std::shared_ptr<Shared>& shared, bool now) {
    const auto at = std::chrono::steady_clock::now();
    std::string latest;
    {
        std::lock_guard lock(shared->mutex);
        if (!shared->statusQueued || shared->released) {
            return;
        }
        const auto due = shared->statusShownAt + kStatusInterval;
        if (!now && at < due) {
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(due - at);
            queue.postAfter(
                wait, [&window, &queue, shared] { showStatus(window, queue, shared, false); });
            return;
        }
        shared->statusQueued = false;
        latest = shared->latestStatus;
    }
    shared->statusShownAt = at;
    window.setStatusLine(latest);
}

// The window reads the report where the worker keeps it: the worker waits meanwhile,
// and a request dropped after a release never touches it.
void PostedRunWindow::setReport(const SpooledText& report) {
    tell([&window = m_window, &report] { window.setReport(report); });
}

bool PostedRunWindow::deleteOption() {
    return ask<bool>(false, [&window = m_window] { return window.deleteOption(); });
}

void PostedRunWindow::enableStart(bool enabled) {
    tell([&window = m_window, enabled] { window.enableStart(enabled); });
}

void PostedRunWindow::enableStop(bool enabled) {
    tell([&window = m_window, enabled] { window.enableStop(enabled); });
}

void PostedRunWindow::enableDeleteOption(bool enabled) {
    tell([&window = m_window, enabled] { window.enableDeleteOption(enabled); });
}

void PostedRunWindow::messageBox(const std::string& text) {
    tell([&window = m_window, text] { window.messageBox(text); });
}

void PostedRunWindow::entryFailed(const std::string& path, const EntryFailure& failure) {
    tell([&window = m_window, path, failure] { window.entryFailed(path, failure); });
}

RunOptions PostedRunWindow::runOptions() {
    RunOptions released;
    released.preview = true;
    return ask<RunOptions>(released, [&window = m_window] { return window.runOptions(); });
}

} // namespace kestrova
