// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

// The folder browser as a browse button opens it, on a folder every system has.

#include "i18n/Translate.h"
#include "render/RenderRegistry.h"
#include "ui/qt/FolderBrowser.h"
#include "ui/qt/FolderChooser.h"

#include <QEventLoop>
#include <QFileSystemModel>
#include <QTimer>
#include <QTreeView>

namespace kestrova::render {

namespace {

// Keeps the browser alive as long as its window.
class BrowserHolder : public QObject {
public:
    BrowserHolder(std::unique_ptr<FolderBrowser> browser, QObject* window)
        : QObject(window), browser_(std::move(browser)) {}

private:
    std::unique_ptr<FolderBrowser> browser_;
};

const RenderEntry kEntry("folder-browser.png", [](RenderContext& context) {
    const QString start = QStringLiteral("/usr/local");
    auto browser =
        std::make_unique<FolderBrowser>(Translate("請選擇文件路徑"), Translate("請選擇路徑"),
                                        start.toStdString(), nullptr, context.messages);
    std::unique_ptr<FolderChooser> window = browser->CreateBrowseWindow();
    new BrowserHolder(std::move(browser), window.get());

    // Folders load in the background: draw the tree once the start folder's
    // surroundings are in.
    auto* model = qobject_cast<QFileSystemModel*>(window->tree()->model());
    QEventLoop loading;
    QObject::connect(model, &QFileSystemModel::directoryLoaded, &loading,
                     [&loading](const QString& folder) {
                         if (folder == QStringLiteral("/usr")) {
                             QTimer::singleShot(100, &loading, &QEventLoop::quit);
                         }
                     });
    QTimer::singleShot(3000, &loading, &QEventLoop::quit);
    window->show();
    loading.exec();
    return window;
});

} // namespace

} // namespace kestrova::render
