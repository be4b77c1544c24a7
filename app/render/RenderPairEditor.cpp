// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

// The pair editor as Add opens it, with a pair typed in.

#include "render/RenderRegistry.h"
#include "ui/qt/PairDialog.h"

#include <QLineEdit>

namespace kestrova::render {

namespace {

const RenderEntry kEntry("pair-editor.png", [](RenderContext& context) {
    auto dialog = std::make_unique<PairDialog>(nullptr, context.messages,
                                               MakeFolderBrowsers(context.messages));
    dialog->controlAs<QLineEdit>(PairDialog::kSourceBox)->setText("/home/mei/文件");
    dialog->controlAs<QLineEdit>(PairDialog::kTargetBox)->setText("/media/backup/文件");
    return dialog;
});

} // namespace

} // namespace kestrova::render
