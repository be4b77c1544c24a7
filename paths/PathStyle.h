// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>

namespace kestrova {

// The two forms of absolute folder path the program understands. Both are
// built everywhere so that each can be tested on any machine; the native one
// is what the folder browser checks typed paths against.
enum class PathStyle {
    Windows, // drive letter, ":", "\", names separated by single "\"
    Posix,   // "/", names separated by single "/"
};

#ifdef _WIN32
inline constexpr PathStyle kNativePathStyle = PathStyle::Windows;
#else
inline constexpr PathStyle kNativePathStyle = PathStyle::Posix;
#endif

// The longest path, in bytes, that each style accepts: the platform's path
// buffer less its terminator.
constexpr std::size_t MaxFolderPathBytes(PathStyle style) {
    return style == PathStyle::Windows ? 259 : 4095;
}

} // namespace kestrova
