// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/win32/SyncApp.h"

#include "i18n/Translate.h"
#include "settings/SaveFileSystem.h"
#include "ui/win32/DialogFont.h"
#include "ui/win32/MainDialog.h"
#include "ui/win32/MainDialogParts.h"
#include "ui/win32/MessageBoxes.h"

#include <windows.h>

#include <commctrl.h>

namespace kestrova::win32 {

void InitWindowClasses() {
    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof(classes);
    classes.dwICC = ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&classes);
}

int RunSyncApp() {
    InitWindowClasses();
    UseDialogFontFor(UseCatalogue(DefaultLocaleFolder(), LocaleVariablesFromEnvironment()));
    SystemBoxes presenter;
    MessageBoxes messages(presenter);
    SaveFileSystem fileSystem;
    MainDialog dialog(messages, MainWindowFiles::Default(), fileSystem,
                      ProgramDialogParts(messages));
    // The dialog sets itself as the boxes' main window once it exists.
    dialog.runModal(nullptr);
    return 0;
}

} // namespace kestrova::win32
