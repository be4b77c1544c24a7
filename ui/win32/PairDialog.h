// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// The pair editor (template 131): a source and a target folder, each a free-text box
// with a browse button beside it. The texts are copied into the boxes when it opens
// and out of them on OK, as they are: nothing here trims them, and OK refuses only a
// path that names a file, with a message through the prompt.

#include "ui/win32/DialogWindow.h"

#include <functional>
#include <string>

namespace kestrova {
class MessagePrompt;
}

namespace kestrova::win32 {

// Lets the user pick a folder, starting at `folder`; on OK sets `folder` and returns
// true. Caption and title are the browser's own texts. An empty picker is a browser
// that cannot be shown: every browse is a cancelled one.
using FolderPicker = std::function<bool(HWND owner, const std::string& caption,
                                        const std::string& title, std::string& folder)>;

class PairDialog : public DialogWindow {
public:
    static constexpr int kSourceBox = 1014;
    static constexpr int kTargetBox = 1015;
    static constexpr int kBrowseSource = 1016;
    static constexpr int kBrowseTarget = 1017;

    PairDialog(FolderPicker pickFolder, MessagePrompt& prompt);

    // 1 when the user confirmed with OK, 2 otherwise.
    int RunModal(HWND owner);

    std::string sourcePath;
    std::string targetPath;

protected:
    bool onInitDialog() override;
    void onCommand(int id, int code) override;

private:
    void OnBrowseSource();
    void OnBrowseTarget();
    void OnOk();
    void OnCancel();
    void Browse(std::string& folder);
    void ReadBoxes();
    void WriteBoxes();

    FolderPicker m_pickFolder;
    MessagePrompt& m_prompt;
};

} // namespace kestrova::win32
