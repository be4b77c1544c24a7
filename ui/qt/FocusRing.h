// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QPointer>
#include <QWidget>

namespace kestrova {

// A ring in the highlight colour around a control while it has the keyboard focus,
// for controls the style draws the same with and without it: the read-only report
// pane, and the pair list when it has no rows to put a focus frame on. The ring is a
// sibling laid over the control's edge; it takes no clicks and no focus.
class FocusRing : public QWidget {
public:
    // Width of the ring, in pixels; half of it lies outside the control.
    static constexpr int kWidth = 2;

    explicit FocusRing(QWidget* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void follow();

    QPointer<QWidget> control_;
};

} // namespace kestrova
