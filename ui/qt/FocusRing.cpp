// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/qt/FocusRing.h"

#include <QEvent>
#include <QPainter>

namespace kestrova {

FocusRing::FocusRing(QWidget* control) : QWidget(control->parentWidget()), control_(control) {
    setObjectName(QStringLiteral("focusRing"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    control->installEventFilter(this);
    follow();
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event) {
    if (watched == control_) {
        switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            follow();
            break;
        default:
            break;
        }
    }
    return false;
}

void FocusRing::follow() {
    const int outside = kWidth / 2;
    setGeometry(control_->geometry().adjusted(-outside, -outside, outside, outside));
    const bool shown = control_->isVisible() && control_->hasFocus();
    setVisible(shown);
    if (shown) {
        raise();
    }
}

void FocusRing::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor colour = palette().color(QPalette::Active, QPalette::Highlight);
    const QRect all = rect();
    painter.fillRect(all.left(), all.top(), all.width(), kWidth, colour);
    painter.fillRect(all.left(), all.bottom() - kWidth + 1, all.width(), kWidth, colour);
    painter.fillRect(all.left(), all.top(), kWidth, all.height(), colour);
    painter.fillRect(all.right() - kWidth + 1, all.top(), kWidth, all.height(), colour);
}

} // namespace kestrova
