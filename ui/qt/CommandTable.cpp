// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/qt/CommandTable.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace kestrova {

namespace {

// Reports a double-click on the watched widget once the widget has handled it, so the
// handler sees the selection the click made.
class DoubleClickWatcher : public QObject {
public:
    DoubleClickWatcher(QObject* owner, std::function<void()> handler)
        : QObject(owner), m_handler(std::move(handler)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonDblClick) {
            QMetaObject::invokeMethod(this, m_handler, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_handler;
};

} // namespace

bool BindCommand(QWidget* control, Notification notification, QObject* context,
                 std::function<void()> handler) {
    if (control == nullptr) {
        return false;
    }
    switch (notification) {
    case Notification::Clicked:
        if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            QObject::connect(button, &QAbstractButton::clicked, context, std::move(handler));
            return true;
        }
        return false;
    case Notification::DoubleClicked: {
        auto* watcher = new DoubleClickWatcher(control, std::move(handler));
        if (auto* area = qobject_cast<QAbstractScrollArea*>(control)) {
            area->viewport()->installEventFilter(watcher);
        } else {
            control->installEventFilter(watcher);
        }
        return true;
    }
    case Notification::TextChanged:
        if (auto* line = qobject_cast<QLineEdit*>(control)) {
            QObject::connect(line, &QLineEdit::textChanged, context, std::move(handler));
            return true;
        }
        if (auto* edit = qobject_cast<QPlainTextEdit*>(control)) {
            QObject::connect(edit, &QPlainTextEdit::textChanged, context, std::move(handler));
            return true;
        }
        return false;
    }
    return false;
}

} // namespace kestrova
