// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/win32/PairDialog.h"

#include "i18n/Translatable.h"
#include "i18n/Translate.h"
#include "paths/ConfirmFolderPath.h"
#include "ui/win32/CommandTable.h"

namespace kestrova::win32 {

namespace {

const char* const kBrowseCaption = Translatable("請選擇文件路徑");
const char* const kBrowseTitle = Translatable("請選擇路徑");

} // namespace

PairDialog::PairDialog(FolderPicker pickFolder, MessagePrompt& prompt)
    : DialogWindow(PairDialogTemplate()), m_pickFolder(std::move(pickFolder)), m_prompt(prompt) {}

int PairDialog::RunModal(HWND owner) {
    return runModal(owner) == IDOK ? 1 : 2;
}

bool PairDialog::onInitDialog() {
    WriteBoxes();
    return true;
}

void PairDialog::onCommand(int id, int code) {
    static const CommandEntry<PairDialog> kCommands[] = {
        {kBrowseSource, BN_CLICKED, &PairDialog::OnBrowseSource},
        {kBrowseTarget, BN_CLICKED, &PairDialog::OnBrowseTarget},
        {IDOK, BN_CLICKED, &PairDialog::OnOk},
        {IDCANCEL, BN_CLICKED, &PairDialog::OnCancel},
    };
    DispatchCommand(*this, std::span<const CommandEntry<PairDialog>>(kCommands), id, code);
}

// A file named as a folder would fail every entry of a run: it is refused here, where
// it was typed, and its box takes the focus with its text selected.
void PairDialog::OnOk() {
    ReadBoxes();
    for (const int id : {kSourceBox, kTargetBox}) {
        if (RefuseNonFolder(id == kSourceBox ? sourcePath : targetPath, m_prompt)) {
            SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control(id)), TRUE);
            return;
        }
    }
    endDialog(IDOK);
}

void PairDialog::OnCancel() {
    endDialog(IDCANCEL);
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
    if (m_pickFolder) {
        std::string picked = folder;
        if (m_pickFolder(hwnd(), Translate(kBrowseCaption), Translate(kBrowseTitle), picked)) {
            folder = picked;
        }
    }
    WriteBoxes();
    SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control(IDOK)), TRUE);
}

void PairDialog::ReadBoxes() {
    sourcePath = controlText(kSourceBox);
    targetPath = controlText(kTargetBox);
}

void PairDialog::WriteBoxes() {
    setControlText(kSourceBox, sourcePath);
    setControlText(kTargetBox, targetPath);
}

} // namespace kestrova::win32
