// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "ui/qt/TemplateDialog.h"

#include <functional>
#include <memory>
#include <string>

namespace kestrova {

class FolderBrowser;
class MessagePrompt;

// Makes the folder browser for one click of a browse button, from its caption,
// title, start folder and parent.
using FolderBrowserFactory = std::function<std::unique_ptr<FolderBrowser>(
    const std::string& caption, const std::string& title, const std::string& initialFolder,
    QWidget* parent)>;

// Real folder browsers whose questions and messages go through `prompt`.
FolderBrowserFactory MakeFolderBrowsers(MessagePrompt& prompt);

// The pair editor: a source and a target folder, each a free-text box with a browse
// button beside it. The texts are copied into the boxes when it opens and out of
// them on OK, as they are: nothing here trims them, and OK refuses only a path that
// names a file, with a message through `prompt`.
class PairDialog : public TemplateDialog {
    Q_OBJECT
public:
    static constexpr int kSourceBox = 1014;
    static constexpr int kTargetBox = 1015;
    static constexpr int kBrowseSource = 1016;
    static constexpr int kBrowseTarget = 1017;

    PairDialog(QWidget* parent, MessagePrompt& prompt, FolderBrowserFactory makeBrowser);

    // 1 when the user confirmed with OK, 2 otherwise.
    int RunModal();

    std::string sourcePath;
    std::string targetPath;

private:
    void OnBrowseSource();
    void OnBrowseTarget();
    void OnOk();
    void Browse(std::string& folder);
    void ReadBoxes();
    void WriteBoxes();

    MessagePrompt& prompt;
    FolderBrowserFactory makeBrowser;
};

} // namespace kestrova
