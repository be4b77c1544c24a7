// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "Win32TestSupport.h"
#include "i18n/WideText.h"
#include "ui/win32/FolderBrowser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace kestrova::win32 {
namespace {

// A browser whose window is driven by a script once it is set up.
class DrivenBrowser : public FolderBrowser {
public:
    DrivenBrowser(std::string start, MessagePrompt& answers,
                  std::function<void(DrivenBrowser&)> script_)
        : FolderBrowser("选择文件夹", "Folder", std::move(start), nullptr, answers),
          script(std::move(script_)) {}

    std::string box() const {
        wchar_t text[1024] = {};
        GetWindowTextW(pathBox(), text, 1024);
        return windows::Utf8(text);
    }
    void type(const std::string& text) { SetWindowTextW(pathBox(), windows::Wide(text).c_str()); }
    bool okEnabled() const { return IsWindowEnabled(GetDlgItem(browseWindow(), IDOK)) != 0; }
    RECT placeOf(HWND control) const {
        RECT rect;
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, browseWindow(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    bool scriptRan = false;

protected:
    void OnReady() override {
        scriptRan = true;
        script(*this);
    }

private:
    std::function<void(DrivenBrowser&)> script;
};

class WindowsFolderBrowser : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        wchar_t full[MAX_PATH] = {};
        GetLongPathNameW(temp, full, MAX_PATH);
        root = std::filesystem::path(full) /
               ("kestrova-browser-" + std::to_string(GetCurrentProcessId()));
        std::filesystem::create_directories(root / "start");
    }
    void TearDown() override { std::filesystem::remove_all(root); }

    std::string at(const std::string& name) const { return windows::Utf8((root / name).wstring()); }

    std::filesystem::path root;
    test::PresetAnswers answers;
    MessageBoxes prompt{answers};
};

TEST_F(WindowsFolderBrowser, OpensOnTheStartFolderAndAcceptsATypedFolderItMayCreate) {
    const std::string start = at("start");
    const std::string missing = at("new\\deeper");
    answers.preset(BoxAnswer::Yes);
    DrivenBrowser browser(start, prompt, [&](DrivenBrowser& b) {
        wchar_t caption[64] = {};
        GetWindowTextW(b.browseWindow(), caption, 64);
        EXPECT_STREQ(caption, L"选择文件夹");
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(b.browseWindow(), FolderBrowser::kStatusLineId)));
        // As wide as the tree, 23 pixels high, ending 4 pixels above it.
        const RECT box = b.placeOf(b.pathBox());
        const RECT tree = b.placeOf(GetDlgItem(b.browseWindow(), FolderBrowser::kTreeId));
        EXPECT_EQ(box.left, tree.left);
        EXPECT_EQ(box.right, tree.right);
        EXPECT_EQ(box.bottom, tree.top - 4);
        EXPECT_EQ(box.bottom - box.top, 23);
        EXPECT_EQ(GetDlgCtrlID(b.pathBox()), FolderBrowser::kPathBoxId);

        // The box says where the browser starts at once, and keeps saying it while the
        // shell reports its own selections, however late.
        EXPECT_EQ(b.box(), start);
        test::PumpUntil([] { return false; }, std::chrono::milliseconds(500));
        EXPECT_EQ(b.box(), start);
        EXPECT_TRUE(b.okEnabled());
        b.type("");
        EXPECT_FALSE(b.okEnabled());
        b.type("Q");
        EXPECT_TRUE(b.okEnabled());

        b.type(missing);
        test::Click(b.browseWindow(), IDOK);
    });
    EXPECT_EQ(browser.RunModal(), 1);
    EXPECT_TRUE(browser.scriptRan);
    EXPECT_EQ(browser.GetPath(), missing);
    EXPECT_TRUE(std::filesystem::is_directory(root / "new" / "deeper"));
    ASSERT_EQ(answers.shown.size(), 1u);
    EXPECT_EQ(answers.shown[0].style, BoxStyle::YesNoQuestion);
}

TEST_F(WindowsFolderBrowser, KeepsTheBrowserOpenOnARefusedPathAndCancelGivesNothing) {
    const std::string missing = at("declined");
    test::WriteFile(at("start\\file"), "data");
    DrivenBrowser browser("", prompt, [&](DrivenBrowser& b) {
        // Nothing is selected yet, so nothing is in the box.
        EXPECT_EQ(b.box(), "");
        for (const std::string& refused : {at("start") + "\\", at("start\\file"),
                                           std::string("\\\\server\\share\\folder"), missing}) {
            b.type(refused);
            test::Click(b.browseWindow(), IDOK);
            EXPECT_TRUE(IsWindow(b.browseWindow()));
            EXPECT_EQ(b.box(), refused);
        }
        // Longer than a path may be: cut where it is read, then judged.
        b.type("C:\\" + std::string(300, 'a'));
        test::Click(b.browseWindow(), IDOK);
        // A valid folder in the box does not make Cancel accept it.
        b.type(at("start"));
        test::Click(b.browseWindow(), IDCANCEL);
    });
    EXPECT_EQ(browser.RunModal(), -1);
    EXPECT_TRUE(browser.scriptRan);
    EXPECT_FALSE(std::filesystem::exists(root / "declined"));
    ASSERT_EQ(answers.shown.size(), 5u);
    EXPECT_EQ(answers.shown[0].style, BoxStyle::OkExclamation);
    EXPECT_NE(answers.shown[1].text.find("is a file, not a folder"), std::string::npos);
    EXPECT_EQ(answers.shown[2].style, BoxStyle::OkExclamation);
    EXPECT_EQ(answers.shown[3].style, BoxStyle::YesNoQuestion);
    EXPECT_NE(answers.shown[4].text.find("C:\\" + std::string(256, 'a') + "\n"), std::string::npos);
}

} // namespace
} // namespace kestrova::win32
