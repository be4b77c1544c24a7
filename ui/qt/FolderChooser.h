// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QDialog>
#include <QPersistentModelIndex>
#include <QString>

class QFileSystemModel;
class QLabel;
class QPushButton;
class QTreeView;

namespace kestrova {

// The modal window in which a folder is picked from a tree of the whole local file
// system. It only shows and reports: the title line, the folder tree, a hidden
// status line, OK and Cancel. Whoever runs it decides what OK means, so a click on
// OK (or Enter) is reported through okClicked and never ends the window by itself;
// Cancel, Escape and the close box end it with 0.
class FolderChooser : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTreeId = 14145;
    static constexpr int kStatusLineId = 14147;
    // Free room between the title line and the tree, for a box placed above the tree.
    static constexpr int kRoomAboveTree = 27;

    FolderChooser(const QString& title, QWidget* owner);

    QTreeView* tree() const { return tree_; }
    QLabel* statusLine() const { return statusLine_; }
    QPushButton* okButton() const { return ok_; }

    // Selects the folder at `path` and scrolls it into view. A path that is empty,
    // relative or not an existing folder selects nothing.
    void selectFolder(const QString& path);
    // The file-system path of a tree item; empty when the item is not a folder.
    QString folderPath(const QModelIndex& index) const;
    QModelIndex indexOf(const QString& path) const;
    void enableOk(bool enabled);
    void setStatusText(const QString& text);

signals:
    // Once, when the window is laid out and about to be shown for the first time.
    void initialized();
    // The tree's selection moved; `path` is the selected folder's path or empty.
    void selectionChanged(const QString& path);
    void okClicked();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void keepSelectedInView();

    QFileSystemModel* model_;
    QTreeView* tree_;
    QLabel* statusLine_;
    QPushButton* ok_;
    // The folder selected by path, kept in view while its surroundings load.
    QPersistentModelIndex selectedByPath_;
    bool initialized_ = false;
};

} // namespace kestrova
