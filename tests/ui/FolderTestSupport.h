// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace kestrova::test {

// Runs `steps` on the next modal window to open above the one active now. One left
// open is closed after a while, so that a failing test fails instead of hanging.
inline void WhileModal(std::function<void(QWidget&)> steps) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll,
                     [poll, below = QPointer<QWidget>(QApplication::activeModalWidget()),
                      steps = std::move(steps), tries = 0]() mutable {
                         QWidget* modal = QApplication::activeModalWidget();
                         if ((modal == nullptr || modal == below) && ++tries < 1000) {
                             return;
                         }
                         poll->deleteLater();
                         poll->stop();
                         ASSERT_TRUE(modal != nullptr && modal != below) << "no modal window";
                         steps(*modal);
                         QTimer::singleShot(5000, modal, [modal] {
                             ADD_FAILURE() << "modal window left open";
                             modal->close();
                         });
                     });
    poll->start(5);
}

template <typename T> T* Control(QWidget& window, int id) {
    return window.findChild<T*>(QString::number(id));
}

// Replaces a line edit's text as typing would.
inline void Type(QLineEdit* box, const std::string& text) {
    box->selectAll();
    box->insert(QString::fromStdString(text));
}

} // namespace kestrova::test
