// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/qt/PairDialog.h"

#include "i18n/Translatable.h"
#include "i18n/Translate.h"
#include "paths/ConfirmFolderPath.h"
#include "ui/qt/CommandTable.h"
#include "ui/qt/FolderBrowser.h"
#include "ui/qt/NativeText.h"

#include <QLineEdit>

namespace kestrova {

namespace {

constexpr int kOk = 1;
constexpr int kCancel = 2;

const char* const kBrowseCaption = Translatable("請選擇文件路徑");
const char* const kBrowseTitle = Translatable("請選擇路徑");

} // namespace

FolderBrowserFactory MakeFolderBrowsers(MessagePrompt& prompt) {
    return [&prompt](const std::string& caption, const std::string& title,
                     const std::string& initialFolder, QWidget* parent) {
        return std::make_unique<FolderBrowser>(caption, title, initialFolder, parent, prompt);
    };
}

PairDialog::PairDialog(QWidget* parent, MessagePrompt& prompt_, FolderBrowserFactory makeBrowser_)
    : TemplateDialog(PairDialogTemplate(), parent), prompt(prompt_),
      makeBrowser(std::move(makeBrowser_)) {
    static const CommandEntry<PairDialog> kCommands[] = {
        {kBrowseSource, Notification::Clicked, &PairDialog::OnBrowseSource},
        {kBrowseTarget, Notification::Clicked, &PairDialog::OnBrowseTarget},
        {kOk, Notification::Clicked, &PairDialog::OnOk},
        {kCancel, Notification::Clicked, &PairDialog::reject},
    };
    BindCommands(*this, std::span<const CommandEntry<PairDialog>>(kCommands));
}

int PairDialog::RunModal() {
    WriteBoxes();
    return exec() == QDialog::Accepted ? 1 : 2;
}

// A file named as a folder would fail every entry of a run: it is refused here, where
// it was typed, and its box takes the focus to be corrected.
void PairDialog::OnOk() {
    ReadBoxes();
    for (const int id : {kSourceBox, kTargetBox}) {
        if (RefuseNonFolder(id == kSourceBox ? sourcePath : targetPath, prompt)) {
            auto* box = controlAs<QLineEdit>(id);
            box->setFocus(Qt::OtherFocusReason);
            box->selectAll();
            return;
        }
    }
    accept();
}

void PairDialog::OnBrowseSource() {
    Browse(sourcePath);
}

void PairDialog::OnBrowseTarget() {
    Browse(targetPath);
}

// Both boxes are read first so that text typed by hand stays, in the other box too,
// and the box's own text is where the browser starts.
void PairDialog::Browse(std::string& folder) {
    ReadBoxes();
    {
        const std::unique_ptr<FolderBrowser> browser =
            makeBrowser(Translate(kBrowseCaption), Translate(kBrowseTitle), folder, this);
        if (browser != nullptr && browser->RunModal() == 1) {
            folder = browser->GetPath();
        }
    }
    WriteBoxes();
    // The browser is gone, and with it any box it showed; the window manager may have
    // moved the activation to one of them as it closed, so the editor takes it back.
    activateWindow();
    control(kOk)->setFocus(Qt::OtherFocusReason);
}

// A path whose text was not edited comes back as the bytes it was given.
void PairDialog::ReadBoxes() {
    sourcePath = BoxBytes(controlAs<QLineEdit>(kSourceBox));
    targetPath = BoxBytes(controlAs<QLineEdit>(kTargetBox));
}

void PairDialog::WriteBoxes() {
    SetBoxBytes(controlAs<QLineEdit>(kSourceBox), sourcePath);
    SetBoxBytes(controlAs<QLineEdit>(kTargetBox), targetPath);
}

} // namespace kestrova
