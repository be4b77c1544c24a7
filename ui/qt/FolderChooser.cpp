// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/qt/FolderChooser.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeView>
#include <QVBoxLayout>

namespace kestrova {

namespace {

// The browser stands in for the desktop's own folder chooser, so its buttons say what
// Qt's standard buttons say, in Qt's language.
QString StandardButtonText(const char* text) {
    return QCoreApplication::translate("QPlatformTheme", text);
}

} // namespace

FolderChooser::FolderChooser(const QString& title, QWidget* owner)
    : QDialog(owner), model_(new QFileSystemModel(this)), tree_(new QTreeView(this)),
      statusLine_(new QLabel(this)), ok_(new QPushButton(StandardButtonText("OK"), this)) {
    setModal(true);
    // Folders only; hidden ones too, so that places like ~/.config can be picked.
    model_->setFilter(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    model_->setRootPath(QStringLiteral("/"));

    tree_->setObjectName(QString::number(kTreeId));
    tree_->setModel(model_);
    for (int column = 1; column < model_->columnCount(); ++column) {
        tree_->hideColumn(column);
    }
    tree_->setHeaderHidden(true);
    tree_->setSortingEnabled(true);
    tree_->sortByColumn(0, Qt::AscendingOrder);
    tree_->header()->setStretchLastSection(false);
    tree_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    tree_->setUniformRowHeights(true);
    tree_->expand(model_->index(QStringLiteral("/")));

    statusLine_->setObjectName(QString::number(kStatusLineId));

    auto* titleLine = new QLabel(title, this);
    titleLine->setWordWrap(true);

    ok_->setObjectName(QStringLiteral("1"));
    ok_->setDefault(true);
    ok_->setEnabled(false);
    auto* cancel = new QPushButton(StandardButtonText("Cancel"), this);
    cancel->setObjectName(QStringLiteral("2"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(titleLine);
    layout->addSpacing(kRoomAboveTree - layout->spacing());
    layout->addWidget(tree_, 1);
    layout->addWidget(statusLine_);
    layout->addLayout(buttons);
    resize(360, 440);

    connect(ok_, &QPushButton::clicked, this, &FolderChooser::okClicked);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    // Reported on selection, not on the focus cursor: the tree puts its cursor on
    // the first row when it gains the focus, and that must not fill the path box.
    connect(tree_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList rows = tree_->selectionModel()->selectedRows();
        emit selectionChanged(rows.isEmpty() ? QString() : folderPath(rows.front()));
    });
    connect(model_, &QFileSystemModel::directoryLoaded, this, &FolderChooser::keepSelectedInView);
    connect(model_, &QFileSystemModel::layoutChanged, this, &FolderChooser::keepSelectedInView);
    connect(model_, &QFileSystemModel::rowsInserted, this, &FolderChooser::keepSelectedInView);
    connect(tree_->verticalScrollBar(), &QScrollBar::actionTriggered, this,
            [this] { selectedByPath_ = QPersistentModelIndex(); });
}

QModelIndex FolderChooser::indexOf(const QString& path) const {
    if (!path.startsWith(QLatin1Char('/'))) {
        return {};
    }
    return model_->index(path);
}

void FolderChooser::selectFolder(const QString& path) {
    const QModelIndex index = indexOf(path);
    // The model finds a file too, though the tree never shows one.
    if (!index.isValid() || !model_->isDir(index)) {
        return;
    }
    selectedByPath_ = index;
    tree_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                        QItemSelectionModel::Rows);
    tree_->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

QString FolderChooser::folderPath(const QModelIndex& index) const {
    if (!index.isValid() || !model_->isDir(index)) {
        return {};
    }
    return model_->filePath(index);
}

void FolderChooser::enableOk(bool enabled) {
    ok_->setEnabled(enabled);
}

void FolderChooser::setStatusText(const QString& text) {
    statusLine_->setText(text);
}

void FolderChooser::showEvent(QShowEvent* event) {
    if (!initialized_) {
        initialized_ = true;
        layout()->activate();
        emit initialized();
    }
    QDialog::showEvent(event);
}

// Folders load and sort in the background, so rows appear above a folder selected
// by path after it was scrolled to; keep it in view until the user scrolls or
// selects another folder.
void FolderChooser::keepSelectedInView() {
    if (selectedByPath_.isValid() && tree_->currentIndex() == selectedByPath_) {
        tree_->scrollTo(selectedByPath_, QAbstractItemView::PositionAtCenter);
    }
}

} // namespace kestrova
