// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include <string>

namespace kestrova {

// The kinds of message box the program shows, each with its buttons and icon.
enum class BoxStyle {
    OkExclamation, // OK button, exclamation icon
    OkStop,        // OK button, stop icon
    YesNoQuestion, // Yes and No buttons, question icon
    // Save and leave (Yes), leave without saving (No), stay (Cancel); question icon
    SaveLeaveStay,
};

enum class BoxAnswer { Ok, Yes, No, Cancel };

// The program's one message-box routine, as seen from code that cannot show
// windows itself. The user interface implements it; tests answer with presets.
class MessagePrompt {
public:
    virtual ~MessagePrompt() = default;
    virtual BoxAnswer show(const std::string& text, BoxStyle style) = 0;
};

} // namespace kestrova
