// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// Chooses the language of the window from the locale variables: the program's
// message catalogue for its own texts and Qt's translation for Qt's texts.

#include <QCoreApplication>
#include <string>

namespace kestrova {

// Returns the language chosen, "" for the original texts.
std::string UseTranslations(QCoreApplication& app);

} // namespace kestrova
