// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// The application: runs the main dialog and nothing else. When the dialog ends the
// program ends, once a stopped worker has finished its clean-up.

#include <QApplication>

namespace kestrova {

class SyncApp : public QApplication {
    Q_OBJECT
public:
    SyncApp(int& argc, char** argv);

    // Shows the main dialog until it ends; returns the process's exit code.
    int run();
};

} // namespace kestrova
