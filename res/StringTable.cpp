// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "res/StringTable.h"

#include "i18n/Translatable.h"

namespace kestrova {

const char* LoadResourceString(int id) {
    switch (id) {
    case kAboutMenuStringId:
        return Translatable("關于 Kestrova(&A)...");
    default:
        return "";
    }
}

} // namespace kestrova
