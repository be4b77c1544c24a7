// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "paths/PathStyle.h"

#include <QPointer>
#include <memory>
#include <string>

class QLineEdit;
class QWidget;

namespace kestrova {

class FolderChooser;
class MessagePrompt;

// Lets the user choose a folder by picking it in the folder tree or by typing its
// path into the box above the tree. OK accepts whatever the box says once
// ConfirmFolderPath has judged it (and, with the user's consent, created it), so
// the result is a path text that may name a folder that did not exist before.
// One object serves one browse: construct, RunModal, on 1 GetPath.
class FolderBrowser {
public:
    static constexpr int kPathBoxId = 14148;
    // Longest path the box hands on, in bytes.
    static constexpr std::size_t kMaxPathBytes = MaxFolderPathBytes(kNativePathStyle);

    // `prompt` shows the questions and messages of the path check; `parent` is the
    // window that opens the browser, whose top-level window owns it.
    FolderBrowser(std::string caption, std::string title, std::string initialFolder,
                  QWidget* parent, MessagePrompt& prompt);
    virtual ~FolderBrowser();
    FolderBrowser(const FolderBrowser&) = delete;
    FolderBrowser& operator=(const FolderBrowser&) = delete;

    // 1 when the user accepted a path with OK; -1 for Cancel, Escape or the close box.
    virtual int RunModal();
    // After RunModal returned 1: exactly the text that was accepted.
    std::string GetPath() const { return path; }

    // The browse window that RunModal runs, wired to this browser, not yet shown.
    // It must be gone before the browser is.
    std::unique_ptr<FolderChooser> CreateBrowseWindow();

protected:
    // The box's text as last read; after an accepted OK, the result.
    std::string path;

private:
    void OnInitialized();
    void OnSelectionChanged(const std::string& selected);
    void OnPathBoxChanged();
    void OnOkClicked();
    void PlacePathBox();
    void ReadPathBox();

    std::string caption;
    std::string title;
    std::string initialFolder;
    QPointer<QWidget> owner;
    MessagePrompt& prompt;
    FolderChooser* browseWindow = nullptr;
    QLineEdit* pathBox = nullptr;
    int confirmed = 0;
};

} // namespace kestrova
