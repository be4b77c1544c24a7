// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// Lets the user choose a folder by picking it in the shell's folder browser or by typing
// its path into a box placed above the browser's tree. OK accepts whatever the box says
// once ConfirmFolderPath has judged it (and, with the user's consent, created it), so
// the result is a path text that may name a folder that did not exist before.
// One object serves one browse: construct, RunModal, on 1 GetPath.

#include "paths/PathStyle.h"

#include <windows.h>

#include <shlobj.h>

#include <string>

namespace kestrova {
class MessagePrompt;
}

namespace kestrova::win32 {

class FolderBrowser {
public:
    // Controls of the browse window: the shell's tree and status line, and the path
    // box this browser adds.
    static constexpr int kTreeId = 14145;
    static constexpr int kStatusLineId = 14147;
    static constexpr int kPathBoxId = 14148;
    // The path box at 96 dots per inch: this high, ending this far above the tree.
    static constexpr int kPathBoxHeight = 23;
    static constexpr int kPathBoxGap = 4;
    // Longest path the box hands on, in bytes.
    static constexpr std::size_t kMaxPathBytes = MaxFolderPathBytes(PathStyle::Windows);

    // `prompt` shows the questions and messages of the path check; `parent` is the
    // window that opens the browser, whose top-level window owns it.
    FolderBrowser(std::string caption, std::string title, std::string initialFolder, HWND parent,
                  MessagePrompt& prompt);
    virtual ~FolderBrowser();
    FolderBrowser(const FolderBrowser&) = delete;
    FolderBrowser& operator=(const FolderBrowser&) = delete;

    // 1 when the user accepted a path with OK; -1 for Cancel, Escape or the close box.
    virtual int RunModal();
    // After RunModal returned 1: exactly the text that was accepted.
    std::string GetPath() const { return path; }

    HWND browseWindow() const { return browse; }
    HWND pathBox() const { return box; }

protected:
    // The browse window is set up and its start folder selected; nothing more happens
    // here. Tests drive the window from this point.
    virtual void OnReady() {}

    // The box's text as last read; after an accepted OK, the result.
    std::string path;

private:
    static int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM item, LPARAM data);
    static LRESULT CALLBACK HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self);
    void OnInitialized(HWND window);
    void SelectStartFolder();
    void OnSelectionChanged(LPCITEMIDLIST item);
    void ShowInBox(const std::wstring& text);
    void OnPathBoxChanged();
    void OnOkClicked();
    void ReadPathBox();

    std::string caption;
    std::wstring title;
    std::string initialFolder;
    HWND owner;
    MessagePrompt& prompt;
    HWND browse = nullptr;
    HWND box = nullptr;
    int confirmed = 0;
    // The start folder is in the box and the tree has not shown a folder yet.
    bool startPending = false;
    int selectTriesLeft = 0;
    bool fillingBox = false; // the box's text is being set by the browser itself
};

// One browse for the pair editor (its FolderPicker): a browser over `owner` that starts
// at `folder`; an accepted path replaces `folder` and gives true.
bool BrowseForFolder(HWND owner, const std::string& caption, const std::string& title,
                     std::string& folder, MessagePrompt& prompt);

} // namespace kestrova::win32
