// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

namespace kestrova {

// A rectangle by its edges; right and bottom lie just outside it.
struct EdgeRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const EdgeRect&) const = default;
};

// How a label places its text: centred or right-aligned across, centred down.
struct TextPlacement {
    bool centred = false;
    bool rightAligned = false;
    bool centredVertically = false;
};

// The rectangle a label takes to fit its text: the text's size plus the frame the
// label has around its contents (window size minus contents size). A centred axis
// shrinks or grows by half the difference at each end, the half truncated toward
// zero; otherwise the top stays, and the left or (when right-aligned) the right.
EdgeRect fitRectToText(const EdgeRect& window, int contentsWidth, int contentsHeight, int textWidth,
                       int textHeight, TextPlacement placement);

} // namespace kestrova
