// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// The file-system port of the platform the program is built for.

#ifdef _WIN32
#include "fs/WindowsFileSystem.h"
#else
#include "fs/PosixFileSystem.h"
#endif

namespace kestrova {

#ifdef _WIN32
using NativeFileSystem = WindowsFileSystem;
#else
using NativeFileSystem = PosixFileSystem;
#endif

} // namespace kestrova
