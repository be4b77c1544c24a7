// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/qt/SyncApp.h"

#include "res/ResourceImages.h"
#include "res/StringTable.h"
#include "ui/qt/MainDialog.h"
#include "ui/qt/MessageBoxRoutine.h"
#include "ui/qt/Translations.h"

#include <QIcon>

namespace kestrova {

SyncApp::SyncApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QString::fromUtf8(kApplicationTitle));
    // Ties the window to its menu entry, for the desktop's icon and grouping.
    setDesktopFileName(QStringLiteral(KESTROVA_APP_ID));
    UseTranslations(*this);
    InitResources();
    setWindowIcon(QIcon(ResourceImagePath(kAppIconId)));
}

int SyncApp::run() {
    ModalBoxPresenter presenter;
    MessageBoxRoutine messages(presenter);
    SaveFileSystem fileSystem;
    MainDialog dialog(messages, MainDialogFiles::Default(), fileSystem);
    messages.setMainWindow(&dialog);
    dialog.exec();
    messages.setMainWindow(nullptr);
    return 0;
}

} // namespace kestrova
