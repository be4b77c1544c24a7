// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/qt/FolderBrowser.h"

#include "paths/ConfirmFolderPath.h"
#include "paths/FolderPathValidation.h"
#include "paths/PathStyle.h"
#include "ui/qt/FolderChooser.h"
#include "ui/qt/NativeText.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTreeView>

#include <functional>

namespace kestrova {

namespace {

// The box is 23 pixels high and ends 4 pixels above the tree.
constexpr int kPathBoxHeight = 23;
constexpr int kPathBoxGap = 4;

// Runs `action` whenever the watched widget moves or changes size.
class GeometryWatcher : public QObject {
public:
    GeometryWatcher(QWidget* watched, std::function<void()> action)
        : QObject(watched), action_(std::move(action)) {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Move) {
            action_();
        }
        return false;
    }

private:
    std::function<void()> action_;
};

} // namespace

FolderBrowser::FolderBrowser(std::string caption_, std::string title_, std::string initialFolder_,
                             QWidget* parent, MessagePrompt& prompt_)
    : caption(std::move(caption_)), title(std::move(title_)),
      initialFolder(std::move(initialFolder_)),
      owner(parent != nullptr ? parent->window() : QApplication::activeWindow()), prompt(prompt_) {}

FolderBrowser::~FolderBrowser() = default;

int FolderBrowser::RunModal() {
    confirmed = 0;
    CreateBrowseWindow()->exec();
    browseWindow = nullptr;
    pathBox = nullptr;
    return confirmed != 0 ? 1 : -1;
}

std::unique_ptr<FolderChooser> FolderBrowser::CreateBrowseWindow() {
    auto window = std::make_unique<FolderChooser>(QString::fromStdString(title), owner);
    browseWindow = window.get();
    FolderChooser* context = window.get();
    QObject::connect(context, &FolderChooser::initialized, context, [this] { OnInitialized(); });
    QObject::connect(
        context, &FolderChooser::selectionChanged, context,
        [this](const QString& selected) { OnSelectionChanged(FolderPathBytes(selected)); });
    // The chooser's OK never ends it; only an accepted path does.
    QObject::connect(context, &FolderChooser::okClicked, context, [this] { OnOkClicked(); });
    return window;
}

void FolderBrowser::OnInitialized() {
    browseWindow->setWindowTitle(QString::fromStdString(caption));
    browseWindow->statusLine()->hide();

    pathBox = new QLineEdit(browseWindow);
    pathBox->setObjectName(QString::number(kPathBoxId));
    pathBox->setFont(browseWindow->font());
    PlacePathBox();
    new GeometryWatcher(browseWindow->tree(), [this] { PlacePathBox(); });
    QWidget::setTabOrder(pathBox, browseWindow->tree());
    pathBox->show();
    QObject::connect(pathBox, &QLineEdit::textChanged, pathBox, [this] { OnPathBoxChanged(); });

    browseWindow->selectFolder(QString::fromStdString(initialFolder));
}

// As wide as the tree, its bottom kPathBoxGap pixels above the tree's top.
void FolderBrowser::PlacePathBox() {
    QTreeView* tree = browseWindow->tree();
    const QPoint treeTopLeft = tree->mapTo(browseWindow, QPoint(0, 0));
    const int top = treeTopLeft.y() - kPathBoxGap - kPathBoxHeight;
    pathBox->setGeometry(treeTopLeft.x(), top, tree->width(), kPathBoxHeight);
}

void FolderBrowser::OnSelectionChanged(const std::string& selected) {
    const bool acceptable =
        !selected.empty() && selected.size() <= kMaxPathBytes && selected.front() == '/';
    const std::string shown = acceptable ? selected : std::string();
    browseWindow->enableOk(acceptable);
    browseWindow->setStatusText(QString::fromStdString(shown));
    if (pathBox != nullptr) {
        SetBoxBytes(pathBox, shown);
    }
}

void FolderBrowser::ReadPathBox() {
    path = CutToPathLimit(BoxBytes(pathBox), kMaxPathBytes);
}

void FolderBrowser::OnPathBoxChanged() {
    ReadPathBox();
    browseWindow->enableOk(!path.empty());
}

void FolderBrowser::OnOkClicked() {
    ReadPathBox();
    if (ConfirmFolderPath(path, prompt) != 0) {
        pathBox->setFocus();
        return;
    }
    confirmed = 1;
    browseWindow->done(1);
}

} // namespace kestrova
