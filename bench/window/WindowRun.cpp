// kestrova-bench-window SOURCE TARGET: one run of one pair through the main window,
// offscreen, from the Start button to the completion box. Prints the seconds taken.

#include "settings/SaveFileSystem.h"
#include "sync/SyncWorker.h"
#include "ui/qt/MainDialog.h"
#include "ui/qt/MessageBoxRoutine.h"
#include "ui/qt/PairList.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>

namespace {

// Notes the completion box instead of showing it.
class CompletionWatch : public kestrova::BoxPresenter {
public:
    kestrova::BoxAnswer present(QWidget*, const QString&, const QString&,
                                kestrova::BoxStyle) override {
        finished = true;
        return kestrova::BoxAnswer::Ok;
    }
    bool finished = false;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: kestrova-bench-window SOURCE TARGET\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir scratch;
    CompletionWatch watch;
    kestrova::MessageBoxRoutine messages(watch);
    kestrova::SaveFileSystem saving;
    kestrova::MainDialog dialog(messages,
                                {(scratch.path() + "/Kestrova.ini").toStdString(),
                                 (scratch.path() + "/dirlist.cfg").toStdString()},
                                saving);
    messages.setMainWindow(&dialog);
    dialog.pairList().appendRow(argv[1], argv[2]);
    dialog.pairList().setChecked(0, true);
    // kestrova-sync runs without --delete: no prune pass here either.
    dialog.controlAs<QCheckBox>(1009)->setChecked(false);
    dialog.show();
    QApplication::processEvents();

    const auto start = std::chrono::steady_clock::now();
    dialog.controlAs<QPushButton>(1007)->click();
    while (!watch.finished) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    kestrova::JoinSyncWorker();
    std::printf("%.3f\n", elapsed.count());
    return 0;
}
