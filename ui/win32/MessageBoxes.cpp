#include "ui/win32/MessageBoxes.h"

#include "ui/win32/DialogWindow.h"
#include "windows/WideText.h"

namespace kestrova::win32 {

BoxAnswer SystemBoxes::present(HWND owner, const std::string& caption, const std::string& text,
                               BoxStyle style) {
    UINT type = MB_OK | MB_ICONEXCLAMATION;
    switch (style) {
    case BoxStyle::OkExclamation:
        break;
    case BoxStyle::OkStop:
        type = MB_OK | MB_ICONSTOP;
        break;
    case BoxStyle::YesNoQuestion:
        type = MB_YESNO | MB_ICONQUESTION;
        break;
    case BoxStyle::SaveLeaveStay:
        // Yes saves and leaves, No leaves, Cancel stays; Enter keeps the window.
        type = MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON3;
        break;
    }
    switch (MessageBoxW(owner, WideWithCrLf(text).c_str(), windows::Wide(caption).c_str(), type)) {
    case IDYES:
        return BoxAnswer::Yes;
    case IDNO:
        return BoxAnswer::No;
    case IDCANCEL:
        return BoxAnswer::Cancel;
    default:
        return BoxAnswer::Ok;
    }
}

HWND MessageBoxes::owner() const {
    if (m_mainWindow == nullptr || !IsWindow(m_mainWindow)) {
        return nullptr;
    }
    return GetLastActivePopup(m_mainWindow);
}

BoxAnswer MessageBoxes::show(const std::string& text, BoxStyle style) {
    return m_presenter.present(owner(), kApplicationTitle, text, style);
}

} // namespace kestrova::win32
