#pragma once

// The file-system port of the platform the program is built for.

#ifdef _WIN32
#include "sync/WindowsFileSystem.h"
#else
#include "sync/PosixFileSystem.h"
#endif

namespace kestrova {

#ifdef _WIN32
using NativeFileSystem = WindowsFileSystem;
#else
using NativeFileSystem = PosixFileSystem;
#endif

} // namespace kestrova
