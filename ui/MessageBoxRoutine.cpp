#include "ui/MessageBoxRoutine.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

namespace kestrova {

BoxAnswer ModalBoxPresenter::present(QWidget* owner, const QString& caption, const QString& text,
                                     BoxStyle style) {
    QMessageBox box(owner);
    box.setWindowTitle(caption);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
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
    }
    const int result = box.exec();
    if (style != BoxStyle::YesNoQuestion) {
        return BoxAnswer::Ok;
    }
    return result == QMessageBox::Yes ? BoxAnswer::Yes : BoxAnswer::No;
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
