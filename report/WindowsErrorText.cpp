// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "report/FailureLine.h"

#include <cstring>

namespace kestrova {

std::string SystemErrorText(int error) {
    char buffer[256];
    return ::strerror_s(buffer, sizeof buffer, error) == 0 ? buffer : "unknown error";
}

} // namespace kestrova
