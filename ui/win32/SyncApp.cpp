#include "ui/win32/SyncApp.h"

#include "ui/win32/DialogWindow.h"

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
    DialogWindow dialog(MainDialogTemplate());
    dialog.runModal(nullptr);
    return 0;
}

} // namespace kestrova::win32
