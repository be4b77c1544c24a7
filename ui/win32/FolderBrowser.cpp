// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/win32/FolderBrowser.h"

#include "i18n/WideText.h"
#include "paths/ConfirmFolderPath.h"
#include "paths/FolderPathValidation.h"
#include "paths/MessagePrompt.h"

#include <commctrl.h>

namespace kestrova::win32 {

namespace {

// A timer of this program's own on the shell's window, and how often it asks the
// shell once more to select the start folder before giving up.
constexpr UINT_PTR kSelectAgainTimer = 0x4B53;
constexpr UINT kSelectAgainMilliseconds = 100;
constexpr int kSelectAgainTries = 30;
// An accepted path that needed a box (the question whether to create the folder) ends
// the browser this much later; see OnOkClicked.
constexpr UINT_PTR kEndTimer = 0x4B54;
constexpr UINT kEndAfterBoxMilliseconds = 150;

// Passes every box on, counting them.
class CountingPrompt : public MessagePrompt {
public:
    explicit CountingPrompt(MessagePrompt& inner) : inner_(inner) {}
    BoxAnswer show(const std::string& text, BoxStyle style) override {
        ++shown;
        return inner_.show(text, style);
    }
    int shown = 0;

private:
    MessagePrompt& inner_;
};

// Pixels at the window's resolution for a length given at 96 dots per inch.
int Scaled(HWND window, int pixels) {
    const HDC dc = GetDC(window);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window, dc);
    return MulDiv(pixels, dpi > 0 ? dpi : 96, 96);
}

} // namespace

FolderBrowser::FolderBrowser(std::string caption_, std::string title_, std::string initialFolder_,
                             HWND parent, MessagePrompt& prompt_)
    : caption(std::move(caption_)), title(windows::Wide(title_)),
      initialFolder(std::move(initialFolder_)),
      owner(parent != nullptr ? GetAncestor(parent, GA_ROOT) : nullptr), prompt(prompt_) {}

FolderBrowser::~FolderBrowser() = default;

int FolderBrowser::RunModal() {
    // The shell's browser needs COM on this thread; an earlier start is only counted.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.pszDisplayName = displayName;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
    info.lpfn = &FolderBrowser::BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(this);

    confirmed = 0;
    if (const LPITEMIDLIST item = SHBrowseForFolderW(&info); item != nullptr) {
        CoTaskMemFree(item);
    }
    browse = nullptr;
    box = nullptr;
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return confirmed != 0 ? 1 : -1;
}

int CALLBACK FolderBrowser::BrowseCallback(HWND window, UINT message, LPARAM item, LPARAM data) {
    auto* self = reinterpret_cast<FolderBrowser*>(data);
    if (message == BFFM_INITIALIZED) {
        self->OnInitialized(window);
    } else if (message == BFFM_SELCHANGED) {
        self->OnSelectionChanged(reinterpret_cast<LPCITEMIDLIST>(item));
    }
    return 0;
}

// The box takes the place of the status line, which is hidden: as wide as the tree,
// ending just above it, and before it in the tab order.
void FolderBrowser::OnInitialized(HWND window) {
    browse = window;
    SetWindowTextW(browse, windows::Wide(caption).c_str());
    SetWindowSubclass(browse, &FolderBrowser::HookProc, 0, reinterpret_cast<DWORD_PTR>(this));
    ShowWindow(GetDlgItem(browse, kStatusLineId), SW_HIDE);

    const HWND tree = GetDlgItem(browse, kTreeId);
    RECT place{};
    GetWindowRect(tree, &place);
    place.bottom = place.top - Scaled(browse, kPathBoxGap);
    place.top = place.bottom - Scaled(browse, kPathBoxHeight);
    MapWindowPoints(nullptr, browse, reinterpret_cast<POINT*>(&place), 2);
    box = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, place.left,
                          place.top, place.right - place.left, place.bottom - place.top, browse,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPathBoxId)),
                          GetModuleHandleW(nullptr), nullptr);
    const HWND beforeTree = GetWindow(tree, GW_HWNDPREV);
    SetWindowPos(box, beforeTree != nullptr ? beforeTree : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageW(box, WM_SETFONT, SendMessageW(browse, WM_GETFONT, 0, 0), TRUE);

    // The box starts with the start folder itself, so that it says where the browser
    // starts even when the shell is slow to select that folder, or cannot.
    startPending = !initialFolder.empty() && initialFolder.size() <= kMaxPathBytes;
    if (startPending) {
        ShowInBox(windows::Wide(initialFolder));
    }
    SendMessageW(browse, BFFM_ENABLEOK, 0, startPending ? 1 : 0);
    SelectStartFolder();
    // Some shells (Wine's) take a selection only once the window runs, or report their
    // own first selection late; the start folder is asked for again for a while.
    selectTriesLeft = kSelectAgainTries;
    if (startPending) {
        SetTimer(browse, kSelectAgainTimer, kSelectAgainMilliseconds, nullptr);
    }
    OnReady();
}

void FolderBrowser::SelectStartFolder() {
    const std::wstring start = windows::Wide(initialFolder);
    SendMessageW(browse, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(start.c_str()));
}

// Only folders on a drive letter can be typed back and checked, so any other selection
// empties the box and disables OK.
void FolderBrowser::OnSelectionChanged(LPCITEMIDLIST item) {
    wchar_t buffer[MAX_PATH] = {};
    std::string selected;
    if (SHGetPathFromIDListW(item, buffer) && buffer[0] != L'\0' && buffer[1] == L':') {
        selected = windows::Utf8(buffer);
    }
    if (selected.size() > kMaxPathBytes) {
        selected.clear();
    }
    // Until the tree has shown a folder, the start folder stays in the box.
    if (selected.empty() && startPending) {
        return;
    }
    startPending = false;
    const std::wstring shown = windows::Wide(selected);
    SendMessageW(browse, BFFM_ENABLEOK, 0, selected.empty() ? 0 : 1);
    SendMessageW(browse, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(shown.c_str()));
    if (box != nullptr) {
        ShowInBox(shown);
    }
}

void FolderBrowser::ReadPathBox() {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(box)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(box, text.data(), static_cast<int>(text.size()))));
    path = CutToPathLimit(windows::Utf8(text), kMaxPathBytes);
}

void FolderBrowser::ShowInBox(const std::wstring& text) {
    fillingBox = true;
    SetWindowTextW(box, text.c_str());
    fillingBox = false;
}

// An edit of the user's own ends the wait for the start folder: it is never replaced.
void FolderBrowser::OnPathBoxChanged() {
    if (confirmed != 0) {
        return; // accepted: the path stays as it was judged
    }
    if (!fillingBox) {
        startPending = false;
    }
    ReadPathBox();
    SendMessageW(browse, BFFM_ENABLEOK, 0, path.empty() ? 0 : 1);
}

// A box that has just closed over the browser hands the keyboard back to it through
// the window manager, which takes a moment; a browser that ended meanwhile would leave
// the keyboard with no window at all, the pair editor included. So after a box the
// accepted browser ends a little later.
void FolderBrowser::OnOkClicked() {
    if (confirmed != 0) {
        return; // accepted and about to end
    }
    ReadPathBox();
    CountingPrompt counted(prompt);
    if (ConfirmFolderPath(path, counted) != 0) {
        SetFocus(box);
        return;
    }
    confirmed = 1;
    if (counted.shown == 0 || SetTimer(browse, kEndTimer, kEndAfterBoxMilliseconds, nullptr) == 0) {
        EndDialog(browse, 1);
    }
}

// The browse window's commands come here first: OK (also Enter) is this browser's to
// judge, and the path box's changes are its own; everything else goes on to the shell.
LRESULT CALLBACK FolderBrowser::HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR /*id*/, DWORD_PTR self) {
    auto* browser = reinterpret_cast<FolderBrowser*>(self);
    if (message == WM_COMMAND) {
        if (LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED) {
            browser->OnOkClicked();
            return 0;
        }
        if (browser->box != nullptr && reinterpret_cast<HWND>(lParam) == browser->box &&
            HIWORD(wParam) == EN_CHANGE) {
            browser->OnPathBoxChanged();
            return 0;
        }
    } else if (message == WM_TIMER && wParam == kEndTimer) {
        KillTimer(window, kEndTimer);
        EndDialog(window, 1);
        return 0;
    } else if (message == WM_TIMER && wParam == kSelectAgainTimer) {
        if (browser->startPending && browser->selectTriesLeft-- > 0) {
            browser->SelectStartFolder();
        } else {
            KillTimer(window, kSelectAgainTimer);
        }
        return 0;
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, &FolderBrowser::HookProc, 0);
        browser->box = nullptr;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

bool BrowseForFolder(HWND owner, const std::string& caption, const std::string& title,
                     std::string& folder, MessagePrompt& prompt) {
    FolderBrowser browser(caption, title, folder, owner, prompt);
    if (browser.RunModal() != 1) {
        return false;
    }
    folder = browser.GetPath();
    return true;
}

} // namespace kestrova::win32
