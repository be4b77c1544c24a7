// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "Win32TestSupport.h"
#include "ui/win32/AboutDialog.h"

#include <commctrl.h>
#include <cwctype>
#include <string>

#include <gtest/gtest.h>

namespace kestrova::win32 {
namespace {

// Whether the common controls in use are those the manifest asks for, which live in the
// system's side-by-side store rather than beside the system's other libraries.
bool UsesCommonControls6() {
    wchar_t file[MAX_PATH] = {};
    GetModuleFileNameW(GetModuleHandleW(L"comctl32.dll"), file, MAX_PATH);
    std::wstring name = file;
    for (wchar_t& c : name) {
        c = towlower(c);
    }
    return name.find(L"microsoft.windows.common-controls") != std::wstring::npos;
}

TEST(WindowsAboutDialog, ShowsTheTemplateWithABlankLinkPlaceAndEndsWithOk) {
    test::PresetAnswers answers;
    MessageBoxes prompt(answers);
    AboutDialog box(prompt);
    ASSERT_NE(box.create(nullptr), nullptr);
    EXPECT_TRUE(UsesCommonControls6());

    // The application icon from the program's resources.
    const HWND icon = GetWindow(box.hwnd(), GW_CHILD);
    EXPECT_NE(SendMessageW(icon, STM_GETICON, 0, 0), 0);

    // No address and no text: the link place shrinks to nothing and opens nothing.
    const HWND link = box.control(AboutDialog::kLinkId);
    EXPECT_EQ(box.link.control(), link);
    EXPECT_EQ(box.link.url(), "");
    RECT place;
    GetWindowRect(link, &place);
    EXPECT_EQ(place.right - place.left, 0);
    EXPECT_TRUE(GetWindowLongPtrW(link, GWL_STYLE) & SS_NOTIFY);

    SendMessageW(box.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(box.control(IDOK)));
    EXPECT_TRUE(box.ended());
    EXPECT_EQ(box.result(), IDOK);
    EXPECT_TRUE(answers.shown.empty());
}

TEST(WindowsAboutDialog, SystemCommandsSixteenToThirtyOneMeanAbout) {
    EXPECT_TRUE(IsAboutCommand(16));
    EXPECT_TRUE(IsAboutCommand(31));
    EXPECT_FALSE(IsAboutCommand(15));
    EXPECT_FALSE(IsAboutCommand(32));
    EXPECT_FALSE(IsAboutCommand(SC_CLOSE));
    EXPECT_FALSE(IsAboutCommand(SC_MINIMIZE | 16));
}

} // namespace
} // namespace kestrova::win32
