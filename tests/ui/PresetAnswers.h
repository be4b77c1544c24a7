#pragma once

// A BoxPresenter for tests: records every box it is asked to show and answers from a
// queue of presets (once the queue is empty: Ok, No for a Yes/No box, Cancel for the
// box that asks whether to save). Never blocks.

#include "ui/qt/MessageBoxRoutine.h"

#include <QPointer>
#include <deque>
#include <vector>

namespace kestrova::test {

struct ShownBox {
    QPointer<QWidget> owner;
    QString caption;
    QString text;
    BoxStyle style;
};

class PresetAnswers : public BoxPresenter {
public:
    void preset(BoxAnswer answer) { m_answers.push_back(answer); }

    BoxAnswer present(QWidget* owner, const QString& caption, const QString& text,
                      BoxStyle style) override {
        shown.push_back({owner, caption, text, style});
        if (!m_answers.empty()) {
            const BoxAnswer answer = m_answers.front();
            m_answers.pop_front();
            return answer;
        }
        if (style == BoxStyle::SaveLeaveStay) {
            return BoxAnswer::Cancel;
        }
        return style == BoxStyle::YesNoQuestion ? BoxAnswer::No : BoxAnswer::Ok;
    }

    std::vector<ShownBox> shown;

private:
    std::deque<BoxAnswer> m_answers;
};

} // namespace kestrova::test
