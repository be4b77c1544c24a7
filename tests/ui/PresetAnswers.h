// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// A BoxPresenter for tests: records every box it is asked to show and answers from a
// queue of presets (once the queue is empty: Ok, No for a Yes/No box, Cancel for the
// box that asks whether to save). Never blocks.

#include "support/PresetAnswerQueue.h"
#include "ui/qt/MessageBoxRoutine.h"

#include <QPointer>
#include <vector>

namespace kestrova::test {

struct ShownBox {
    QPointer<QWidget> owner;
    QString caption;
    QString text;
    BoxStyle style;
};

class PresetAnswers : public BoxPresenter, public PresetAnswerQueue {
public:
    BoxAnswer present(QWidget* owner, const QString& caption, const QString& text,
                      BoxStyle style) override {
        shown.push_back({owner, caption, text, style});
        return next(style);
    }

    std::vector<ShownBox> shown;
};

} // namespace kestrova::test
