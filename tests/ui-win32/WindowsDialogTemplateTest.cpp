#include "res/DialogTemplate.h"
#include "ui/win32/DialogTemplateBuilder.h"
#include "ui/win32/DialogWindow.h"
#include "ui/win32/SyncApp.h"
#include "windows/WideText.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrova::win32 {
namespace {

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring ExpectedClass(ControlKind kind) {
    switch (kind) {
    case ControlKind::Button:
        return L"Button";
    case ControlKind::Edit:
        return L"Edit";
    case ControlKind::Static:
        return L"Static";
    case ControlKind::ListView:
        return kListViewClass;
    }
    return {};
}

// The template with identifier `id`.
const DialogTemplate& TemplateById(int id) {
    switch (id) {
    case 131:
        return PairDialogTemplate();
    case 100:
        return AboutDialogTemplate();
    default:
        return MainDialogTemplate();
    }
}

class DialogTemplateTest : public ::testing::TestWithParam<int> {
protected:
    static void SetUpTestSuite() { InitWindowClasses(); }
};

// Every control comes out in template order (creation and tab order) with its class,
// identifier, text, styles and dialog-unit rectangle; the dialog has its caption,
// styles and size.
TEST_P(DialogTemplateTest, DialogIsMadeAsItsTemplateSays) {
    const DialogTemplate& expected = TemplateById(GetParam());
    DialogWindow dialog(expected);
    const HWND hwnd = dialog.create(nullptr);
    ASSERT_NE(hwnd, nullptr) << GetLastError();

    EXPECT_EQ(dialog.controlText(0), "") << "no control 0";
    wchar_t caption[128] = {};
    GetWindowTextW(hwnd, caption, 128);
    EXPECT_EQ(windows::Utf8(caption), expected.caption);
    const auto style = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
    const DWORD dialogStyle = expected.style & ~(ds::SetFont | ds::ModalFrame);
    EXPECT_EQ(style & dialogStyle, dialogStyle);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE)) & expected.exStyle,
              expected.exStyle);
    RECT client{};
    GetClientRect(hwnd, &client);
    RECT size{0, 0, expected.rect.width, expected.rect.height};
    MapDialogRect(hwnd, &size);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    HWND child = GetWindow(hwnd, GW_CHILD);
    for (const ControlTemplate& control : expected.controls) {
        SCOPED_TRACE(control.text);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(GetDlgCtrlID(child), control.id);
        EXPECT_EQ(ClassOf(child), ExpectedClass(control.kind));
        // Edits trade a plain border for the sunken edge; icons size themselves.
        const DWORD wanted = control.style & ~static_cast<DWORD>(ws::Border);
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE)) & wanted, wanted);
        const bool icon =
            control.kind == ControlKind::Static && (control.style & ss::TypeMask) == ss::Icon;
        if (!icon) {
            wchar_t text[128] = {};
            GetWindowTextW(child, text, 128);
            EXPECT_EQ(windows::Utf8(text), control.text);
            // Position and size are converted each on its own, as the dialog manager does.
            RECT want{control.rect.x, control.rect.y, control.rect.width, control.rect.height};
            MapDialogRect(hwnd, &want);
            RECT got{};
            GetWindowRect(child, &got);
            MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&got), 2);
            EXPECT_EQ(got.left, want.left);
            EXPECT_EQ(got.top, want.top);
            EXPECT_EQ(got.right - got.left, want.right);
            EXPECT_EQ(got.bottom - got.top, want.bottom);
        }
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr) << "no control beyond the template's";
}

INSTANTIATE_TEST_SUITE_P(Templates, DialogTemplateTest, ::testing::Values(102, 131, 100));

} // namespace
} // namespace kestrova::win32
