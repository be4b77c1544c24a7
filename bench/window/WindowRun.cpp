// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

// kestrova-bench-window [--delete] [--on-display] SOURCE TARGET: one run of one pair
// through the main window, with the delete option set as asked, from a key press on
// the focused Start button to the moment the completion box is first drawn. The box
// is the program's own modal box, closed as soon as it has been drawn. Offscreen
// unless --on-display, which uses the display the environment names (an X server
// with a window manager: the window then waits on what a real display waits on).
// Prints the seconds taken.

#include "settings/SaveFileSystem.h"
#include "sync/SyncWorker.h"
#include "ui/qt/MainDialog.h"
#include "ui/qt/MessageBoxRoutine.h"
#include "ui/qt/PairList.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

// Notes when the first message box is drawn and closes it.
class BoxWatch : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !drawn) {
            if (auto* box = qobject_cast<QMessageBox*>(watched)) {
                drawn = true;
                at = Clock::now();
                QTimer::singleShot(0, box, [box] { box->done(QMessageBox::Ok); });
            }
        }
        return false;
    }
    bool drawn = false;
    Clock::time_point at;
};

void PressKey(QWidget* target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(target, &release);
}

} // namespace

int main(int argc, char** argv) {
    bool deleteOption = false;
    bool onDisplay = false;
    int arg = 1;
    for (; arg < argc - 2; ++arg) {
        const std::string option = argv[arg];
        if (option == "--delete") {
            deleteOption = true;
        } else if (option == "--on-display") {
            onDisplay = true;
        } else {
            break;
        }
    }
    if (arg != argc - 2) {
        std::fprintf(stderr,
                     "usage: kestrova-bench-window [--delete] [--on-display] SOURCE TARGET\n");
        return 2;
    }
    const char* source = argv[argc - 2];
    const char* target = argv[argc - 1];
    if (!onDisplay) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QTemporaryDir scratch;
    kestrova::ModalBoxPresenter presenter;
    kestrova::MessageBoxRoutine messages(presenter);
    kestrova::SaveFileSystem saving;
    kestrova::MainDialog dialog(messages,
                                {(scratch.path() + "/Kestrova.ini").toStdString(),
                                 (scratch.path() + "/dirlist.cfg").toStdString()},
                                saving);
    messages.setMainWindow(&dialog);
    dialog.pairList().appendRow(source, target);
    dialog.pairList().setChecked(0, true);
    dialog.controlAs<QCheckBox>(1009)->setChecked(deleteOption);
    BoxWatch watch;
    app.installEventFilter(&watch);

    Clock::time_point start;
    // Start is pressed once the window is up and idle; the dialog ends once the run's
    // worker has ended after its box.
    QTimer::singleShot(200, &dialog, [&] {
        auto* startButton = dialog.controlAs<QPushButton>(1007);
        startButton->setFocus();
        start = Clock::now();
        PressKey(startButton, Qt::Key_Space);
    });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
        if (watch.drawn && !kestrova::SyncWorkerAlive()) {
            dialog.done(0);
        }
    });
    poll.start(10);
    dialog.exec();
    kestrova::JoinSyncWorker();
    if (!watch.drawn) {
        std::fprintf(stderr, "kestrova-bench-window: the run showed no completion box\n");
        return 1;
    }
    const std::chrono::duration<double> elapsed = watch.at - start;
    std::printf("%.3f\n", elapsed.count());
    return 0;
}
