// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// Running the event loop from a test, so that timers and posted events get their turn.

#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>

namespace kestrova::test {

// Until the condition holds or two seconds have passed; returns the condition.
inline bool processEventsUntil(const std::function<bool()>& condition) {
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < 2000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return condition();
}

// For the given time.
inline void processEventsFor(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

} // namespace kestrova::test
