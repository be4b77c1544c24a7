// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/LinkFit.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

TEST(FitRectToText, KeepsTheTopLeftByDefaultAndAddsTheFrame) {
    // 2-pixel frame all round: contents are 4 smaller than the window.
    const EdgeRect window{10, 20, 110, 40};
    EXPECT_EQ(fitRectToText(window, 96, 16, 30, 12, {}), (EdgeRect{10, 20, 44, 36}));
    // An empty text in a frameless label leaves nothing to see.
    EXPECT_EQ(fitRectToText({5, 5, 95, 18}, 90, 13, 0, 13, {}).width(), 0);
}

TEST(FitRectToText, CentresWithTheHalfTruncatedTowardZero) {
    TextPlacement centred;
    centred.centred = true;
    // 101 wide, 50 wanted: each side moves by 25, leaving 51.
    EXPECT_EQ(fitRectToText({0, 0, 101, 10}, 101, 10, 50, 10, centred), (EdgeRect{25, 0, 76, 10}));
    // Growing: 40 wide, 55 wanted, d = -7, so 54 wide.
    EXPECT_EQ(fitRectToText({100, 0, 140, 10}, 40, 10, 55, 10, centred),
              (EdgeRect{93, 0, 147, 10}));

    TextPlacement vertical;
    vertical.centredVertically = true;
    EXPECT_EQ(fitRectToText({0, 10, 50, 31}, 50, 21, 50, 12, vertical), (EdgeRect{0, 14, 50, 27}));
}

TEST(FitRectToText, RightAlignedKeepsTheRightEdge) {
    TextPlacement right;
    right.rightAligned = true;
    EXPECT_EQ(fitRectToText({10, 0, 110, 10}, 100, 10, 30, 10, right), (EdgeRect{80, 0, 110, 10}));
    // Centring wins over right alignment when both are asked for.
    right.centred = true;
    EXPECT_EQ(fitRectToText({0, 0, 100, 10}, 100, 10, 30, 10, right), (EdgeRect{35, 0, 65, 10}));
}

} // namespace
} // namespace kestrova
