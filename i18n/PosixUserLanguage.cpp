// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "i18n/Translate.h"

namespace kestrova {

// The locale variables are the user's only language setting here.
std::string UserLanguage() {
    return "";
}

} // namespace kestrova
