// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/qt/LinkLabel.h"

#include "paths/MessagePrompt.h"
#include "ui/LinkFit.h"
#include "ui/qt/DesktopLinkOpener.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QTimerEvent>

namespace kestrova {

namespace {

LinkOpener& desktopOpener() {
    static DesktopLinkOpener opener;
    return opener;
}

} // namespace

LinkLabel::LinkLabel() : opener(&desktopOpener()), beep([] { QApplication::beep(); }) {}

LinkLabel::~LinkLabel() {
    hoverTimer.stop();
    if (label) {
        label->removeEventFilter(this);
    }
}

void LinkLabel::attach(QLabel* control) {
    label = control;
    // The text is shown as it is: an address must never be read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setMouseTracking(true);
    // The label paints its own background in the button-face colour.
    label->setBackgroundRole(QPalette::Button);
    label->setAutoFillBackground(true);
    label->installEventFilter(this);
    connect(label, &QObject::destroyed, this, [this] { hoverTimer.stop(); });

    notifiesClicks = true;
    if (linkUrl.empty()) {
        linkUrl = label->text().toStdString();
    }
    if (label->text().isEmpty()) {
        label->setText(QString::fromStdString(linkUrl));
    }
    fontPlain = label->font();
    fontUnderlined = label->font();
    fontUnderlined->setUnderline(true);
    fitWindow();
    loadHandCursor();
    if (handCursor) {
        label->setCursor(*handCursor);
    }
    setUnderlineMode(kUnderlinedWhileOver);
    label->setToolTip(QString::fromStdString(linkUrl));
    applyTextColor();
}

void LinkLabel::setVisited(bool flag) {
    visited = flag;
    if (label) {
        applyTextColor();
        label->update();
    }
}

void LinkLabel::setUnderlineMode(int mode) {
    if (mode == underlineMode) {
        return;
    }
    if (label && fontPlain) {
        giveFont(mode == kAlwaysUnderlined ? *fontUnderlined : *fontPlain);
    }
    underlineMode = mode;
}

int LinkLabel::openTarget(const std::string& url) {
    return openLink(url, *opener);
}

void LinkLabel::reportOpenFailure(int code) {
    if (prompt) {
        prompt->show(openFailureMessage(code), BoxStyle::OkExclamation);
    }
}

void LinkLabel::fitWindow() {
    if (!label || !fitToText) {
        return;
    }
    const QRect geometry = label->geometry();
    const EdgeRect window{geometry.left(), geometry.top(), geometry.left() + geometry.width(),
                          geometry.top() + geometry.height()};
    const QRect contents = label->contentsRect();
    const int margin = 2 * label->margin();

    const QFontMetrics metrics(fontUnderlined.value_or(label->font()));
    const Qt::Alignment alignment = label->alignment();
    const TextPlacement placement{(alignment & Qt::AlignHCenter) != 0,
                                  (alignment & Qt::AlignRight) != 0,
                                  (alignment & Qt::AlignVCenter) != 0};
    const EdgeRect fitted =
        fitRectToText(window, contents.width() - margin, contents.height() - margin,
                      metrics.horizontalAdvance(label->text()), metrics.height(), placement);
    label->setGeometry(fitted.left, fitted.top, fitted.width(), fitted.height());
}

void LinkLabel::loadHandCursor() {
    if (!handCursor) {
        handCursor = QCursor(Qt::PointingHandCursor);
    }
}

QColor LinkLabel::textColor() const {
    if (pointerOver) {
        return colorHover;
    }
    return visited ? colorVisited : colorNormal;
}

bool LinkLabel::eventFilter(QObject* watched, QEvent* event) {
    if (watched != label) {
        return false;
    }
    switch (event->type()) {
    case QEvent::MouseMove:
        onMouseMove();
        break;
    case QEvent::MouseButtonPress:
        pressed = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
        break;
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const bool click = pressed && mouse->button() == Qt::LeftButton &&
                           label->rect().contains(mouse->position().toPoint());
        pressed = false;
        if (click && notifiesClicks) {
            onClicked();
        }
        break;
    }
    default:
        break;
    }
    return false;
}

void LinkLabel::timerEvent(QTimerEvent* event) {
    onTimer();
    QObject::timerEvent(event);
}

void LinkLabel::onMouseMove() {
    if (pointerOver) {
        return;
    }
    pointerOver = true;
    if (underlineMode == kUnderlinedWhileOver) {
        giveFont(*fontUnderlined);
    }
    applyTextColor();
    label->update();
    hoverTimer.start(kHoverPeriodMs, this);
}

// The label hears of no pointer leaving it, so while the pointer is over it a timer
// keeps checking where the pointer is.
void LinkLabel::onTimer() {
    if (!label) {
        hoverTimer.stop();
        return;
    }
    if (label->rect().contains(label->mapFromGlobal(QCursor::pos()))) {
        return;
    }
    pointerOver = false;
    hoverTimer.stop();
    if (underlineMode != kAlwaysUnderlined) {
        giveFont(*fontPlain);
    }
    applyTextColor();
    label->update();
}

void LinkLabel::onClicked() {
    // The timer keeps running and the underline stays; the next move over the label
    // brings the hover colour back.
    pointerOver = false;
    const int result = openTarget(linkUrl);
    visited = openSucceeded(result);
    if (visited) {
        setVisited(true);
        return;
    }
    applyTextColor();
    beep();
    reportOpenFailure(result);
}

void LinkLabel::applyTextColor() {
    QPalette palette = label->palette();
    palette.setColor(label->foregroundRole(), textColor());
    label->setPalette(palette);
}

void LinkLabel::giveFont(const QFont& font) {
    label->setFont(font);
    label->update();
}

} // namespace kestrova
