// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/qt/QtUiThreadQueue.h"

#include <QMetaObject>
#include <QObject>
#include <QTimer>

namespace kestrova {

void QtUiThreadQueue::post(std::function<void()> task) {
    QMetaObject::invokeMethod(m_context, std::move(task), Qt::QueuedConnection);
}

void QtUiThreadQueue::postAfter(std::chrono::milliseconds delay, std::function<void()> task) {
    QTimer::singleShot(delay, m_context, std::move(task));
}

} // namespace kestrova
