// kestrova-bench-window [--delete] SOURCE TARGET: one run of one pair through the main
// window, offscreen, from the Start button to the completion box, with the delete
// option set as asked. Prints the seconds taken.

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
#include <string>

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
    const bool deleteOption = argc == 4 && std::string(argv[1]) == "--delete";
    if (argc != 3 && !deleteOption) {
        std::fprintf(stderr, "usage: kestrova-bench-window [--delete] SOURCE TARGET\n");
        return 2;
    }
    const char* source = argv[argc - 2];
    const char* target = argv[argc - 1];
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
    dialog.pairList().appendRow(source, target);
    dialog.pairList().setChecked(0, true);
    dialog.controlAs<QCheckBox>(1009)->setChecked(deleteOption);
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
