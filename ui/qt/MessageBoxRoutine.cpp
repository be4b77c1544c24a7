// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/qt/MessageBoxRoutine.h"
#include "i18n/Translatable.h"
#include "i18n/Translate.h"
#include "ui/CaptionRoom.h"

#include <QApplication>
#include <QEventLoop>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>
#include <QThread>

namespace kestrova {

namespace {

const char* const kSaveAndLeave = Translatable("保存並退出");
const char* const kLeaveWithoutSaving = Translatable("不保存退出");
const char* const kStay = Translatable("取消");

// Widens the box's layout so that the window manager has room for the whole caption;
// a message box sizes itself to its text, which may be shorter than its caption.
void MakeRoomForCaption(QMessageBox& box, const QString& caption) {
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const int width = WindowWidthForCaption(QFontMetrics(titleFont).horizontalAdvance(caption));
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid != nullptr) {
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
}

} // namespace

BoxAnswer ModalBoxPresenter::present(QWidget* owner, const QString& caption, const QString& text,
                                     BoxStyle style) {
    // One box at a time: a box asked for while another is open (a run ending while
    // a box is up) waits until that one is closed.
    while (m_open != nullptr) {
        QEventLoop wait;
        QObject::connect(m_open.data(), &QDialog::finished, &wait, &QEventLoop::quit);
        QObject::connect(m_open.data(), &QObject::destroyed, &wait, &QEventLoop::quit);
        wait.exec();
    }
    QMessageBox box(owner);
    box.setWindowTitle(caption);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    QAbstractButton* saveButton = nullptr;
    QAbstractButton* leaveButton = nullptr;
    switch (style) {
    case BoxStyle::OkExclamation:
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case BoxStyle::OkStop:
        box.setIcon(QMessageBox::Critical);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case BoxStyle::YesNoQuestion:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case BoxStyle::SaveLeaveStay: {
        box.setIcon(QMessageBox::Question);
        saveButton =
            box.addButton(QString::fromUtf8(Translate(kSaveAndLeave)), QMessageBox::AcceptRole);
        leaveButton = box.addButton(QString::fromUtf8(Translate(kLeaveWithoutSaving)),
                                    QMessageBox::DestructiveRole);
        QPushButton* stay =
            box.addButton(QString::fromUtf8(Translate(kStay)), QMessageBox::RejectRole);
        // Enter and Escape both keep the window: neither key alone throws edits away.
        box.setDefaultButton(stay);
        box.setEscapeButton(stay);
        break;
    }
    }
    MakeRoomForCaption(box, caption);
    m_open = &box;
    // Cleared as the box closes, so a box waiting above this one's loop may open.
    QObject::connect(&box, &QDialog::finished, &box, [this] { m_open = nullptr; });
    const int result = box.exec();
    m_open = nullptr;
    switch (style) {
    case BoxStyle::OkExclamation:
    case BoxStyle::OkStop:
        return BoxAnswer::Ok;
    case BoxStyle::YesNoQuestion:
        return result == QMessageBox::Yes ? BoxAnswer::Yes : BoxAnswer::No;
    case BoxStyle::SaveLeaveStay:
        if (box.clickedButton() == saveButton) {
            return BoxAnswer::Yes;
        }
        return box.clickedButton() == leaveButton ? BoxAnswer::No : BoxAnswer::Cancel;
    }
    return BoxAnswer::Ok;
}

QWidget* MessageBoxRoutine::owner() const {
    // Modal dialogs stack above the main window; the top one was the last active.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    return m_mainWindow;
}

BoxAnswer MessageBoxRoutine::show(const std::string& text, BoxStyle style) {
    return show(QString::fromStdString(text), style);
}

BoxAnswer MessageBoxRoutine::show(const QString& text, BoxStyle style) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() == app->thread()) {
        return showHere(text, style);
    }
    BoxAnswer answer = BoxAnswer::Ok;
    QMetaObject::invokeMethod(
        app, [this, &text, style, &answer] { answer = showHere(text, style); },
        Qt::BlockingQueuedConnection);
    return answer;
}

BoxAnswer MessageBoxRoutine::showHere(const QString& text, BoxStyle style) {
    return m_presenter.present(owner(), QString::fromUtf8(kApplicationTitle), text, style);
}

} // namespace kestrova
