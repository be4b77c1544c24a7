// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

// The main window after a run over two pairs, one of them checked, and during a run,
// in the middle of a long copy.

#include "i18n/Translate.h"
#include "render/RenderRegistry.h"
#include "report/SyncTexts.h"
#include "settings/SaveFileSystem.h"
#include "ui/qt/MainDialog.h"
#include "ui/qt/PairList.h"
#include "ui/qt/StatusLine.h"

#include <QLabel>

namespace kestrova::render {

namespace {

// The window's files live in the scratch folder, so a render leaves the user's alone.
class RenderedMainDialog : public MainDialog {
public:
    explicit RenderedMainDialog(RenderContext& context)
        : MainDialog(context.messages,
                     {(context.scratchFolder + "/Kestrova.ini").toStdString(),
                      (context.scratchFolder + "/dirlist.cfg").toStdString()},
                     m_fileSystem) {
        pairList().appendRow("/home/mei/文件", "/media/backup/文件");
        pairList().appendRow("/home/mei/相片", "/media/backup/相片");
        pairList().setChecked(0, true);
        setRowStatus(0, Translate(texts::kDone));
    }

    // The status line as a run draws it.
    void showStatus(const RunProgress& progress) {
        auto* label = controlAs<QLabel>(1004);
        label->setText(StatusLineText(progress, label->fontMetrics(), label->width() - 8));
    }

private:
    static inline SaveFileSystem m_fileSystem;
};

// The report in the language chosen, as a run would write it.
std::string FirstBlock() {
    return std::string(Translate(texts::kFrom)) + "/home/mei/文件\r\n" + Translate(texts::kTo) +
           "/media/backup/文件\r\n" + Translate(texts::kNoErrors) +
           Translate(texts::kUpdatedHeading) +
           "/home/mei/文件/報告/2026-12.odt\r\n/home/mei/文件/預算.ods\r\n\r\n" + texts::kSeparator;
}

const RenderEntry kAfterRun("main-window.png", [](RenderContext& context) {
    auto dialog = std::make_unique<RenderedMainDialog>(context);
    dialog->setReport(SpooledText(FirstBlock()));
    dialog->showStatus({1284, 2, 0, "/home/mei/文件/報告/2026-12.odt"});
    return dialog;
});

const RenderEntry kDuringRun("main-window-running.png", [](RenderContext& context) {
    auto dialog = std::make_unique<RenderedMainDialog>(context);
    dialog->pairList().setChecked(1, true);
    dialog->setRowStatus(1, Translate(texts::kInProgress));
    dialog->setReport(SpooledText(FirstBlock()));
    dialog->enableStart(false);
    dialog->enableDeleteOption(false);
    dialog->enableStop(true);
    dialog->control(1008)->setFocus();
    dialog->showStatus({4711, 38, 0, "/home/mei/相片/2026/假期/海邊.mov", true,
                        std::uint64_t(1503) << 20, std::uint64_t(3277) << 20});
    return dialog;
});

} // namespace

} // namespace kestrova::render
