// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// The answers a test sets beforehand for the modal boxes a window will show, for
// either toolkit's box presenter. Once they run out, each box gets the answer that
// changes nothing: Cancel to the question whether to save, No to other questions, Ok
// to the rest.

#include "paths/MessagePrompt.h"

#include <deque>

namespace kestrova::test {

class PresetAnswerQueue {
public:
    void preset(BoxAnswer answer) { m_answers.push_back(answer); }

    BoxAnswer next(BoxStyle style) {
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

private:
    std::deque<BoxAnswer> m_answers;
};

} // namespace kestrova::test
