#include "RunHelpers.h"

#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

constexpr const char* kNotAbsolute = "源目錄或目標目錄不是完整路徑，已跳過";
constexpr const char* kNested = "源目錄和目標目錄相同或互相包含，已跳過";
constexpr const char* kSourceUnreadable = "源目錄不存在或無法讀取，已跳過";

// Sentinels beside, inside and above both folders: whatever a skipped pair does,
// they must all be there afterwards, unchanged.
class SafetyTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteTree(temp.path(), sentinels);
        src = temp.path() + "/data/src";
        dst = temp.path() + "/data/dst";
    }
    void expectUntouched() {
        Tree expected = Full(sentinels);
        if (!link.empty()) {
            expected["alias"] = Link(link);
        }
        EXPECT_EQ(ReadTree(temp.path()), expected);
    }

    void expectSkipped(const std::string& source, const std::string& target, const char* reason) {
        TestWindow window({{source, target, 2, {}}}, true);
        RunToEnd(window);
        EXPECT_EQ(window.report(), SkippedBlock(source, target, reason));
        EXPECT_EQ(window.rowStatus(0), "跳過");
        expectUntouched();
    }

    TempFolder temp;
    const Tree sentinels = {{"outside", File("o")},    {"data/beside", File("b")},
                            {"data/src/s", File("s")}, {"data/src/inner/s", File("s")},
                            {"data/dst/t", File("t")}, {"data/dst/inner/t", File("t")}};
    std::string src;
    std::string dst;
    std::string link; // text of the link "alias" when a test makes one
};

TEST_F(SafetyTest, EmptyOrRelativeRootsAreSkipped) {
    expectSkipped("", dst, kNotAbsolute);
    expectSkipped(src, "", kNotAbsolute);
    expectSkipped("data/src", dst, kNotAbsolute);
    expectSkipped(src, "dst", kNotAbsolute);
}

TEST_F(SafetyTest, SameOrNestedFoldersAreSkipped) {
    expectSkipped(src, src, kNested);
    expectSkipped(src, src + "/", kNested);
    expectSkipped(src, src + "/inner", kNested);
    expectSkipped(src, src + "/not-yet/made", kNested);
    expectSkipped(src + "/inner", src, kNested);
    expectSkipped(src, temp.path() + "/data/./src/../src", kNested);
    expectSkipped("/", dst, kNested);
    expectSkipped(src, "/", kNested);
}

TEST_F(SafetyTest, NestingThroughLinksIsSeen) {
    link = src;
    WriteTree(temp.path(), {{"alias", Link(link)}});
    expectSkipped(temp.path() + "/alias", src + "/inner", kNested);
    expectSkipped(src, temp.path() + "/alias/new", kNested);
}

TEST_F(SafetyTest, MissingSourceSkipsThePairAndLeavesTheTargetAlone) {
    expectSkipped(temp.path() + "/data/missing", dst, kSourceUnreadable);
    expectSkipped(temp.path() + "/data/beside", dst, kSourceUnreadable);
}

TEST_F(SafetyTest, TrailingSeparatorsMapInsideTheFolders) {
    const std::string target = temp.path() + "/data/dst/";
    TestWindow window({{src + "/", target, 2, {}}}, true);
    RunToEnd(window);
    EXPECT_EQ(window.report(), Block(src + "/", target, {}, {src + "/inner/s", src + "/s"}));
    EXPECT_EQ(ReadTree(dst), Full({{"s", File("s")}, {"inner/s", File("s")}}));
    EXPECT_EQ(ReadTree(src), Full({{"s", File("s")}, {"inner/s", File("s")}}));
}

} // namespace
} // namespace kestrova::test
