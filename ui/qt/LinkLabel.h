// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "ui/LinkOpening.h"

#include <QBasicTimer>
#include <QColor>
#include <QCursor>
#include <QFont>
#include <QLabel>
#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>
#include <string>

namespace kestrova {

class MessagePrompt;

// Turns a static text label of a dialog into a hyperlink: three text colours (not
// yet visited, visited, pointer over it), underlined while the pointer is over it,
// the hand cursor, a tool tip with the address, and a click that opens the address.
// The dialog keeps the label as a member and binds it to the text control in its
// template with attach(); from then on the label handles the control's events.
class LinkLabel : public QObject {
    Q_OBJECT

public:
    // Underline modes.
    static constexpr int kAlwaysUnderlined = 1;
    static constexpr int kUnderlinedWhileOver = -1;

    static constexpr int kHoverPeriodMs = 100;

    LinkLabel();
    ~LinkLabel() override;

    // The address to open; when set before attach(), the control's text may fill in
    // for it and it for the control's text.
    void setLinkUrl(std::string url) { linkUrl = std::move(url); }

    // Binds the label to its control and sets it up: clicks, address and text,
    // fonts, fit to the text, hand cursor, underline, tool tip.
    void attach(QLabel* control);

    void setVisited(bool flag);
    void setUnderlineMode(int mode);

    // Opens an address; a result above 32 means success, anything else is one of
    // the codes that reportOpenFailure() explains.
    int openTarget(const std::string& url);
    void reportOpenFailure(int code);

    void fitWindow();
    void loadHandCursor();

    // Where openings, warning sounds and messages go. Tests replace them.
    void setOpener(LinkOpener& replacement) { opener = &replacement; }
    void setBeep(std::function<void()> replacement) { beep = std::move(replacement); }
    void setPrompt(MessagePrompt& replacement) { prompt = &replacement; }

    QLabel* control() const { return label.data(); }
    const std::string& url() const { return linkUrl; }
    bool isPointerOver() const { return pointerOver; }
    bool isVisited() const { return visited; }
    int underline() const { return underlineMode; }
    bool isHoverTimerRunning() const { return hoverTimer.isActive(); }
    // The colour the text is drawn in now.
    QColor textColor() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void onMouseMove();
    void onTimer();
    void onClicked();
    void applyTextColor();
    void giveFont(const QFont& font);

    const QColor colorNormal{0, 0, 238};
    const QColor colorVisited{85, 26, 139};
    const QColor colorHover{255, 0, 0};
    bool pointerOver = false;
    bool visited = false;
    int underlineMode = kUnderlinedWhileOver;
    const bool fitToText = true;
    std::string linkUrl;
    std::optional<QFont> fontUnderlined;
    std::optional<QFont> fontPlain;
    std::optional<QCursor> handCursor;
    QBasicTimer hoverTimer;

    QPointer<QLabel> label;
    bool notifiesClicks = false;
    bool pressed = false;
    LinkOpener* opener;
    std::function<void()> beep;
    MessagePrompt* prompt = nullptr;
};

} // namespace kestrova
