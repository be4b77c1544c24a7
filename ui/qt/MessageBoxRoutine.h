// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// The program's one message-box routine. Every box is captioned "Kestrova" and owned
// by the most recently active pop-up above the main window (the main window itself
// when none is open); OK-only boxes show the exclamation icon, the failed save of the
// pair list the stop icon, the question boxes the question icon (kestrova::BoxStyle).
//
// Any thread may call show(): from another thread the box is shown on the user-
// interface thread and the caller waits for the answer.
//
// What actually shows a box is a BoxPresenter: ModalBoxPresenter opens a modal box;
// tests hand in one that answers from presets, so no box is ever left waiting.

#include "paths/MessagePrompt.h"

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace kestrova {

// The application title: the caption of every message box.
inline constexpr const char* kApplicationTitle = "Kestrova";

class BoxPresenter {
public:
    virtual ~BoxPresenter() = default;
    // Called on the user-interface thread; returns once the box is dismissed.
    virtual BoxAnswer present(QWidget* owner, const QString& caption, const QString& text,
                              BoxStyle style) = 0;
};

// Shows one modal box at a time, each at least wide enough for its caption.
class ModalBoxPresenter : public BoxPresenter {
public:
    BoxAnswer present(QWidget* owner, const QString& caption, const QString& text,
                      BoxStyle style) override;

private:
    QPointer<QDialog> m_open;
};

class MessageBoxRoutine : public MessagePrompt {
public:
    explicit MessageBoxRoutine(BoxPresenter& presenter) : m_presenter(presenter) {}

    // The application's main window; set while it exists.
    void setMainWindow(QWidget* window) { m_mainWindow = window; }
    QWidget* mainWindow() const { return m_mainWindow; }

    // The window that owns a box shown now.
    QWidget* owner() const;

    BoxAnswer show(const std::string& text, BoxStyle style) override;
    BoxAnswer show(const QString& text, BoxStyle style);

private:
    BoxAnswer showHere(const QString& text, BoxStyle style);

    BoxPresenter& m_presenter;
    QPointer<QWidget> m_mainWindow;
};

} // namespace kestrova
