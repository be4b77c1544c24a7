// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// How wide a message box must be for its caption to show whole: a window manager
// sets the caption beside the window's icon and buttons, in a font of its own that is
// often bolder and larger than the program's, so the caption's width in the caption
// font gets half as much again and room for the icon and three buttons.

namespace kestrova {

// Room for the window's icon and its buttons beside a caption, in pixels.
inline constexpr int kCaptionFrameReserve = 160;

inline constexpr int WindowWidthForCaption(int captionTextWidth) {
    return captionTextWidth * 3 / 2 + kCaptionFrameReserve;
}

} // namespace kestrova
