// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "Win32TestSupport.h"
#include "ui/win32/LinkLabel.h"
#include "ui/win32/ShellLinkOpening.h"

#include <commctrl.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <memory>

namespace kestrova::win32 {
namespace {

class StandInOpener : public ShellLinkOpener {
public:
    int shellOpen(const std::wstring& url) override {
        opened.push_back(url);
        return shellResult;
    }
    std::optional<std::wstring> webPageOpenCommand() override { return command; }
    int startCommandLine(const std::wstring& line) override {
        started.push_back(line);
        return startResult;
    }

    int shellResult = 31;
    std::optional<std::wstring> command;
    int startResult = 33;
    std::vector<std::wstring> opened;
    std::vector<std::wstring> started;
};

// A top-level window holding one static control, which hands the label the messages
// a dialog hands back to it.
class Host {
public:
    static constexpr int kControlId = 1011;

    Host(const wchar_t* text, DWORD style, RECT place) {
        static const ATOM registered = [] {
            WNDCLASSW windowClass{};
            windowClass.lpfnWndProc = &Host::Proc;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = L"KestrovaLinkHost";
            return RegisterClassW(&windowClass);
        }();
        EXPECT_NE(registered, 0);
        window = CreateWindowExW(0, L"KestrovaLinkHost", L"", WS_POPUP | WS_VISIBLE, 200, 200, 400,
                                 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        control = CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | style, place.left,
                                  place.top, place.right - place.left, place.bottom - place.top,
                                  window, reinterpret_cast<HMENU>(INT_PTR{kControlId}),
                                  GetModuleHandleW(nullptr), nullptr);
        SendMessageW(control, WM_SETFONT,
                     reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        label.setOpener(opener);
        label.setPrompt(prompt);
        label.setBeep([this] { ++beeps; });
    }
    ~Host() { DestroyWindow(window); }

    // The control's place in the host's client area.
    RECT place() const {
        RECT rect;
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    void click() {
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(kControlId, STN_CLICKED),
                     reinterpret_cast<LPARAM>(control));
    }
    // The text colour the control is told to draw in, and the brush it gets.
    COLORREF colourRequest(HBRUSH* brush = nullptr) {
        const HDC dc = GetDC(control);
        const auto answer = reinterpret_cast<HBRUSH>(
            SendMessageW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), LPARAM(control)));
        const COLORREF colour = GetTextColor(dc);
        ReleaseDC(control, dc);
        if (brush != nullptr) {
            *brush = answer;
        }
        return colour;
    }
    // The pointer arrives over the label, then the timer finds it gone.
    void passOver() {
        SendMessageW(control, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
        SetCursorPos(0, 0);
        PostMessageW(control, WM_TIMER, LinkLabel::kHoverTimerId, 0);
        for (MSG message; PeekMessageW(&message, control, WM_TIMER, WM_TIMER, PM_REMOVE);) {
            DispatchMessageW(&message);
        }
    }
    bool underlined() const {
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
                   &font);
        return font.lfUnderline != 0;
    }

    HWND window = nullptr;
    HWND control = nullptr;
    LinkLabel label;
    StandInOpener opener;
    test::PresetAnswers answers;
    MessageBoxes prompt{answers};
    int beeps = 0;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* host = reinterpret_cast<Host*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        LRESULT result = 0;
        if (host != nullptr && host->label.reflect(message, wParam, lParam, result)) {
            return result;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
};

std::wstring TipText(const LinkLabel& label) {
    wchar_t text[256] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = label.control();
    tool.uId = 1;
    tool.lpszText = text;
    SendMessageW(label.tip(), TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
    return text;
}

TEST(WindowsLinkLabel, TakesItsAddressOrTextAndFitsTheControlToTheText) {
    {
        Host host(L"https://kestrova.example/", SS_CENTER | WS_BORDER, {10, 20, 391, 80});
        host.label.attach(host.control);
        EXPECT_EQ(host.label.url(), "https://kestrova.example/");
        EXPECT_TRUE(GetWindowLongPtrW(host.control, GWL_STYLE) & SS_NOTIFY);
        EXPECT_EQ(TipText(host.label), L"https://kestrova.example/");
        EXPECT_EQ(host.label.cursor(), LoadCursorW(nullptr, IDC_HAND));
        EXPECT_EQ(SendMessageW(host.control, WM_SETCURSOR, WPARAM(host.control), HTCLIENT), TRUE);
        // Centred across: the middle stays (to within the odd pixel); the top stays.
        const RECT fitted = host.place();
        EXPECT_NEAR(fitted.left + fitted.right, 10 + 391, 1);
        EXPECT_LT(fitted.right - fitted.left, 391 - 10);
        EXPECT_GT(fitted.right - fitted.left, 2);
        EXPECT_EQ(fitted.top, 20);
        EXPECT_LT(fitted.bottom, 80);
    }
    {
        Host host(L"", SS_RIGHT, {10, 20, 300, 40});
        host.label.setLinkUrl("mailto:kestrova@example.org");
        host.label.attach(host.control);
        wchar_t text[64] = {};
        GetWindowTextW(host.control, text, 64);
        EXPECT_STREQ(text, L"mailto:kestrova@example.org");
        EXPECT_EQ(host.place().right, 300);
        EXPECT_GT(host.place().left, 10);
    }
    {
        // The About box's blank place: nothing to see, point at or click.
        Host host(L"", SS_LEFT, {63, 70, 156, 78});
        host.label.attach(host.control);
        EXPECT_EQ(host.label.url(), "");
        EXPECT_EQ(host.place().left, 63);
        EXPECT_EQ(host.place().right, 63);
        EXPECT_EQ(TipText(host.label), L"");
    }
}

TEST(WindowsLinkLabel, HoverClickAndFailureReport) {
    Host host(L"https://kestrova.example/", SS_LEFT, {10, 20, 300, 40});
    host.label.attach(host.control);
    HBRUSH brush = nullptr;
    EXPECT_EQ(host.colourRequest(&brush), LinkLabel::kColorNormal);
    EXPECT_EQ(brush, GetStockObject(NULL_BRUSH));
    EXPECT_FALSE(host.underlined());

    SendMessageW(host.control, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(host.label.isPointerOver());
    EXPECT_TRUE(host.label.isHoverTimerRunning());
    EXPECT_TRUE(host.underlined());
    EXPECT_EQ(host.colourRequest(), LinkLabel::kColorHover);

    // A click with the pointer still there: the visited colour at once, the underline
    // and the timer stay.
    host.opener.shellResult = 42;
    host.click();
    EXPECT_EQ(host.opener.opened, std::vector<std::wstring>{L"https://kestrova.example/"});
    EXPECT_TRUE(host.label.isVisited());
    EXPECT_EQ(host.colourRequest(), LinkLabel::kColorVisited);
    EXPECT_TRUE(host.underlined());
    EXPECT_EQ(host.beeps, 0);
    EXPECT_TRUE(host.answers.shown.empty());

    // The pointer found elsewhere by the timer ends the hover.
    host.passOver();
    EXPECT_FALSE(host.label.isPointerOver());
    EXPECT_FALSE(host.label.isHoverTimerRunning());
    EXPECT_FALSE(host.underlined());

    // A failure after a success: back to the normal colour, a beep and the reason.
    host.opener.shellResult = 26;
    host.click();
    EXPECT_FALSE(host.label.isVisited());
    EXPECT_EQ(host.colourRequest(), LinkLabel::kColorNormal);
    EXPECT_EQ(host.beeps, 1);
    ASSERT_EQ(host.answers.shown.size(), 1u);
    EXPECT_EQ(host.answers.shown[0].text,
              "Unable to open hyperlink:\n\nA sharing violation occurred. ");
    EXPECT_EQ(host.answers.shown[0].style, BoxStyle::OkExclamation);

    host.label.setUnderlineMode(LinkLabel::kAlwaysUnderlined);
    EXPECT_TRUE(host.underlined());
    host.passOver();
    EXPECT_TRUE(host.underlined());
}

std::vector<std::wstring> Arguments(const std::wstring& line) {
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(line.c_str(), &count);
    std::vector<std::wstring> arguments(argv, argv + count);
    LocalFree(argv);
    return arguments;
}

TEST(WindowsLinkOpening, TheFallBackPassesTheAddressAsExactlyOneArgument) {
    const std::wstring url = LR"(https://kestrova.example/a b" & calc.exe "x\" -new %1 \)";
    StandInOpener opener;
    opener.command = LR"("C:\Program Files\Web\web.exe" -osint -url "%1" --extra)";
    EXPECT_EQ(OpenLink(url, opener), 33);
    ASSERT_EQ(opener.started.size(), 1u);
    EXPECT_TRUE(opener.started[0].starts_with(LR"("C:\Program Files\Web\web.exe" -osint -url  ")"));
    EXPECT_EQ(
        Arguments(opener.started[0]),
        (std::vector<std::wstring>{LR"(C:\Program Files\Web\web.exe)", L"-osint", L"-url", url}));

    // A bare placeholder, and none at all.
    opener.started.clear();
    opener.command = L"web.exe %1 --extra";
    opener.startResult = 2;
    EXPECT_EQ(OpenLink(L"a\\\\", opener), 2);
    opener.command = L"web.exe";
    OpenLink(L"a b", opener);
    EXPECT_EQ(opener.started,
              (std::vector<std::wstring>{LR"(web.exe  "a\\\\")", L"web.exe \"a b\""}));

    // The shell opened it, or no handler is registered: nothing is started.
    opener.started.clear();
    opener.shellResult = 42;
    EXPECT_EQ(OpenLink(url, opener), 42);
    opener.shellResult = 31;
    opener.command.reset();
    EXPECT_EQ(OpenLink(url, opener), 31);
    opener.command = L"\"%1\"";
    EXPECT_EQ(OpenLink(url, opener), 31);
    EXPECT_TRUE(opener.started.empty());

    SystemShellLinkOpener system;
    EXPECT_EQ(system.startCommandLine(LR"("C:\kestrova-no-such-program.exe" "x")"), 2);
}

} // namespace
} // namespace kestrova::win32
