#include "RunHelpers.h"

#include "sync/SyncStats.h"

#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

class PreviewTest : public ::testing::Test {
protected:
    std::string run(const RunOptions& options) {
        TestWindow window({{src, dst, 2, {}}}, true);
        window.setRunOptions(options);
        RunToEnd(window);
        return window.report();
    }

    TempFolder temp;
    std::string src = temp.sub("src");
    std::string dst = temp.sub("dst");
};

// Where a folder and a file clash, the run deletes and copies twice over; where a
// read-only file resists, its folder stays. The preview must foresee all of it.
TEST_F(PreviewTest, ListsWhatTheRunThenCopiesAndDeletes) {
    WriteTree(src, {{"a", File("a")}, {"b/f", File("f")}, {"keep", File("k")}, {"n", File("n")}});
    const Tree target = {
        {"a/x", File("x")},    {"b", File("b")},    {"gone/ro", File("r", kTime, 0, 0444)},
        {"gone/w", File("w")}, {"keep", File("k")}, {"z", File("z")}};
    WriteTree(dst, target);
    const std::string preview = run({true, false, RunOptions::kNoCap});
    EXPECT_EQ(ReadTree(dst), Full(target));

    const std::string expected = "從 " + src + "\r\n到 " + dst + "\r\n同步過程中沒有錯誤\r\n" +
                                 "%s\r\n" + src + "/n\r\n" + src + "/a\r\n" + src +
                                 "/b/f\r\n\r\n%s\r\n" + dst + "/a/x\r\n" + dst + "/a/\r\n" + dst +
                                 "/b\r\n" + dst + "/gone/w\r\n" + dst + "/z\r\n\r\n" +
                                 "\r\n---------------------------------\r\n\r\n";
    const auto with = [&](const std::string& updated, const std::string& deleted) {
        std::string text = expected;
        text.replace(text.find("%s"), 2, updated);
        text.replace(text.find("%s"), 2, deleted);
        return text;
    };
    EXPECT_EQ(preview, with("將會更新以下文件", "將會刪除以下文件和目錄"));
    EXPECT_EQ(run({false, true, RunOptions::kNoCap}),
              with("更新了以下改動過的文件", "刪除了以下文件和目錄"));
}

TEST_F(PreviewTest, APairOverTheDeletionCapDeletesNothing) {
    WriteTree(src, {{"a", File("a")}});
    const Tree target = {{"a", File("a")}, {"old/x", File("x")}, {"y", File("y")}};
    WriteTree(dst, target);
    EXPECT_EQ(run({false, false, 2}),
              Block(src, dst, {}, {}, "要刪除的項目有 3 個，超過上限 2 個，已跳過刪除"));
    EXPECT_EQ(ReadTree(dst), Full(target));
    EXPECT_EQ(g_syncStats.pairsSkipped.load(), 1u);

    // At the cap, everything goes.
    EXPECT_NE(run({false, true, 3})
                  .find("刪除了以下文件和目錄\r\n" + dst + "/old/x\r\n" + dst + "/old/\r\n" + dst +
                        "/y\r\n\r\n"),
              std::string::npos);
    EXPECT_EQ(ReadTree(dst), Full({{"a", File("a")}}));
    EXPECT_EQ(g_syncStats.pairsSkipped.load(), 0u);
}

} // namespace
} // namespace kestrova::test
