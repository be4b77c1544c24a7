#pragma once

// A message-box routine for tests: records every box and answers from a queue of
// presets (once the queue is empty: Ok, No for a Yes/No box, Cancel for the box that
// asks whether to save). Never shows anything.

#include "paths/MessagePrompt.h"

#include <deque>
#include <string>
#include <vector>

namespace kestrova::test {

class RecordingPrompt : public MessagePrompt {
public:
    struct Shown {
        std::string text;
        BoxStyle style;
    };

    void preset(BoxAnswer answer) { answers.push_back(answer); }

    BoxAnswer show(const std::string& text, BoxStyle style) override {
        shown.push_back({text, style});
        if (!answers.empty()) {
            const BoxAnswer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        if (style == BoxStyle::SaveLeaveStay) {
            return BoxAnswer::Cancel;
        }
        return style == BoxStyle::YesNoQuestion ? BoxAnswer::No : BoxAnswer::Ok;
    }

    std::vector<Shown> shown;

private:
    std::deque<BoxAnswer> answers;
};

} // namespace kestrova::test
