// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "Win32TestSupport.h"
#include "i18n/Translate.h"
#include "i18n/WideText.h"
#include "res/DialogTemplate.h"
#include "ui/win32/DialogFont.h"
#include "ui/win32/DialogTemplateBuilder.h"
#include "ui/win32/DialogWindow.h"
#include "ui/win32/SyncApp.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

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

// The pixels a control's text needs beside it, and whether it fits: a push button or
// a group box keeps a margin on both sides, a check box its box, a wrapping text its
// height.
bool TextFits(HWND control, const ControlTemplate& expected) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), int(text.size()))));
    RECT room{};
    GetClientRect(control, &room);
    const bool wraps =
        expected.kind == ControlKind::Static && (expected.style & ss::TypeMask) == ss::Left;
    int margin = 0;
    if (expected.kind == ControlKind::Button) {
        const std::uint32_t kind = expected.style & 0xF;
        margin = kind == bs::AutoCheckBox ? GetSystemMetrics(SM_CXMENUCHECK) + 4
                 : kind == bs::GroupBox   ? 16
                                          : 6;
    }
    RECT needed{0, 0, room.right - margin, 0};
    const HDC dc = GetDC(control);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed,
              DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return needed.right + margin <= room.right && needed.bottom <= room.bottom;
}

std::wstring FontFace(HWND window) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfFaceName;
}

// A template, in the original texts ("") or in a language of the catalogues.
class DialogTemplateTest : public ::testing::TestWithParam<std::tuple<int, std::string>> {
protected:
    static void SetUpTestSuite() { InitWindowClasses(); }
    void SetUp() override {
        const std::string language = std::get<1>(GetParam());
        ASSERT_EQ(UseLanguage(language), language.substr(0, 2)) << "no catalogue for " << language;
    }
    void TearDown() override { UseLanguage(""); }
    static std::string UseLanguage(const std::string& language) {
        const std::string chosen = UseCatalogue(DefaultLocaleFolder(), {"", language, "", ""});
        UseDialogFontFor(chosen);
        return chosen;
    }
};

// Every control comes out in template order (creation and tab order) with its class,
// identifier, text, styles and dialog-unit rectangle; the dialog has its caption,
// styles and size. The texts go through the catalogue; translated, each fits its
// control in the system's dialog font, which sets the dialog units then.
TEST_P(DialogTemplateTest, DialogIsMadeAsItsTemplateSays) {
    const DialogTemplate& expected = TemplateById(std::get<0>(GetParam()));
    const bool translated = !std::get<1>(GetParam()).empty();
    DialogWindow dialog(expected);
    const HWND hwnd = dialog.create(nullptr);
    ASSERT_NE(hwnd, nullptr) << GetLastError();

    EXPECT_EQ(dialog.controlText(0), "") << "no control 0";
    wchar_t caption[128] = {};
    GetWindowTextW(hwnd, caption, 128);
    EXPECT_EQ(windows::Utf8(caption), Translate(expected.caption));
    EXPECT_EQ(FontFace(hwnd) == windows::Wide(expected.fontName), !translated);

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
            EXPECT_EQ(windows::Utf8(text), control.text[0] == 0 ? "" : Translate(control.text));
            if (translated && control.kind != ControlKind::Edit &&
                control.kind != ControlKind::ListView) {
                EXPECT_TRUE(TextFits(child, control)) << windows::Utf8(text);
            }
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

INSTANTIATE_TEST_SUITE_P(Templates, DialogTemplateTest,
                         ::testing::Combine(::testing::Values(102, 131, 100),
                                            ::testing::Values(std::string(),
                                                              std::string("en_US.UTF-8"))));

} // namespace
} // namespace kestrova::win32
