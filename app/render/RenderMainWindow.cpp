// The main window as it looks after a run over two pairs, one of them checked.

#include "i18n/Translate.h"
#include "render/RenderRegistry.h"
#include "settings/SaveFileSystem.h"
#include "sync/SyncTexts.h"
#include "ui/MainDialog.h"
#include "ui/PairList.h"

namespace kestrova::render {

namespace {

// The window's files live in the scratch folder, so a render leaves the user's alone.
class RenderedMainDialog : public MainDialog {
public:
    explicit RenderedMainDialog(RenderContext& context)
        : MainDialog(context.messages,
                     {(context.scratchFolder + "/Kestrova.ini").toStdString(),
                      (context.scratchFolder + "/dirlist.cfg").toStdString()},
                     m_fileSystem) {}

private:
    static inline SaveFileSystem m_fileSystem;
};

const RenderEntry kEntry("main-window.png", [](RenderContext& context) {
    auto dialog = std::make_unique<RenderedMainDialog>(context);
    PairList& list = dialog->pairList();
    list.appendRow("/home/mei/文件", "/media/backup/文件");
    list.appendRow("/home/mei/相片", "/media/backup/相片");
    list.setChecked(0, true);
    dialog->setRowStatus(0, Translate(texts::kDone));
    dialog->setStatusLine("/home/mei/文件/報告/2026-12.odt");
    // The report in the language chosen, as a run would write it.
    dialog->setReport(
        std::string(Translate(texts::kFrom)) + "/home/mei/文件\r\n" + Translate(texts::kTo) +
        "/media/backup/文件\r\n" + Translate(texts::kNoErrors) + Translate(texts::kUpdatedHeading) +
        "/home/mei/文件/報告/2026-12.odt\r\n/home/mei/文件/預算.ods\r\n\r\n" + texts::kSeparator);
    return dialog;
});

} // namespace

} // namespace kestrova::render
