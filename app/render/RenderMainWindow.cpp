// The main window as it looks after a run over two pairs, one of them checked.

#include "render/RenderRegistry.h"
#include "settings/SaveFileSystem.h"
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
    dialog->setRowStatus(0, "完成");
    dialog->setStatusLine("/home/mei/文件/報告/2026-12.odt");
    dialog->setReport(
        "從 /home/mei/文件\r\n到 /media/backup/文件\r\n同步過程中沒有錯誤\r\n"
        "更新了以下改動過的文件\r\n/home/mei/文件/報告/2026-12.odt\r\n"
        "/home/mei/文件/預算.ods\r\n\r\n\r\n---------------------------------\r\n\r\n");
    return dialog;
});

} // namespace

} // namespace kestrova::render
