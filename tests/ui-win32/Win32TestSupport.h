// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// Helpers for tests of the Win32 window under Wine without a display: a box presenter
// that answers from presets, a temporary folder, clicks by control id, a message pump,
// and answering a modal dialog from inside its own loop.

#include "support/PresetAnswerQueue.h"
#include "ui/win32/DialogWindow.h"
#include "ui/win32/MessageBoxes.h"

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace kestrova::win32::test {

struct ShownBox {
    HWND owner;
    std::string caption;
    std::string text;
    BoxStyle style;
};

// Records every box and answers it from the presets.
class PresetAnswers : public BoxPresenter, public kestrova::test::PresetAnswerQueue {
public:
    BoxAnswer present(HWND owner, const std::string& caption, const std::string& text,
                      BoxStyle style) override {
        shown.push_back({owner, caption, text, style});
        return next(style);
    }

    std::vector<ShownBox> shown;
};

class TempFolder {
public:
    TempFolder() {
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        for (unsigned n = std::random_device()();; ++n) {
            m_path = base / ("kestrova-ui-" + std::to_string(n));
            if (std::filesystem::create_directory(m_path)) {
                break;
            }
        }
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string at(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadFile(const std::string& path) {
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

inline void Click(HWND dialog, int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// A key pressed and let go on the focused control, through the dialog manager as the
// message loop of a dialog hands it on.
inline void PressKey(HWND dialog, WPARAM key) {
    for (const UINT message : {WM_KEYDOWN, WM_KEYUP}) {
        MSG msg{GetFocus(), message, key, message == WM_KEYUP ? 0xC0000001 : 1, 0, {}};
        if (!IsDialogMessageW(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

// Handles the thread's messages until `done` holds or `timeout` has passed.
inline bool PumpUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}

// Runs `answer` on the next modal dialog that `owner` opens, from inside its loop.
inline void WhileModal(HWND owner, std::function<void(DialogWindow&)> answer) {
    static HWND s_owner;
    static std::function<void(DialogWindow&)> s_answer;
    s_owner = owner;
    s_answer = std::move(answer);
    SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR timer, DWORD) {
        HWND found = nullptr;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM result) {
                if (GetWindow(window, GW_OWNER) == s_owner &&
                    GetWindowLongPtrW(window, DWLP_USER) != 0) {
                    *reinterpret_cast<HWND*>(result) = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        if (found == nullptr) {
            return;
        }
        KillTimer(nullptr, timer);
        auto* dialog = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(found, DWLP_USER));
        const auto run = std::move(s_answer);
        run(*dialog);
    });
}

} // namespace kestrova::win32::test
