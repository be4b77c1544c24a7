// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "RunHelpers.h"

#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

class PosixPrunePassTest : public ::testing::Test {
protected:
    TempFolder temp;
    std::string src = temp.sub("src");
    std::string dst = temp.sub("dst");
};

TEST_F(PosixPrunePassTest, CaseSensitiveNamesMeanACaseVariantIsDeleted) {
    WriteTree(src, {{"Photo.JPG", File("p")}});
    WriteTree(dst, {{"photo.jpg", File("p")}});
    RunPair(src, dst, true);
    EXPECT_EQ(ReadTree(dst), (Tree{{"Photo.JPG", File("p")}}));
}

} // namespace
} // namespace kestrova::test
