// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "report/FailureLine.h"

#include <cstring>

namespace kestrova {

std::string SystemErrorText(int error) {
    char buffer[256];
    return ::strerror_r(error, buffer, sizeof buffer); // thread-safe, unlike strerror
}

} // namespace kestrova
