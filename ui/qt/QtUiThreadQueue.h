// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// The user-interface thread's queue as Qt's event loop offers it: tasks are delivered
// to a context object, and dropped with the events still queued for it when it goes.

#include "ui/UiThreadQueue.h"

class QObject;

namespace kestrova {

class QtUiThreadQueue : public UiThreadQueue {
public:
    // `context` lives on the user-interface thread and outlives this queue.
    explicit QtUiThreadQueue(QObject* context) : m_context(context) {}

    void post(std::function<void()> task) override;
    void postAfter(std::chrono::milliseconds delay, std::function<void()> task) override;

private:
    QObject* m_context;
};

} // namespace kestrova
