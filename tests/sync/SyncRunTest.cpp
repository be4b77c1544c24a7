// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "RunHelpers.h"

#include "sync/SyncWorker.h"

#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

using Log = std::vector<std::string>;

class SyncRunTest : public ::testing::Test {
protected:
    TempFolder temp;
    std::string src1 = temp.sub("src1");
    std::string dst1 = temp.sub("dst1");
    std::string src2 = temp.sub("src2");
    std::string dst2 = temp.sub("dst2");
};

TEST_F(SyncRunTest, CheckedPairsRunInRowOrderWithTheirControlsAndMarks) {
    WriteTree(src1, {{"one", File("1")}});
    WriteTree(src2, {{"two", File("2")}});
    TestWindow window(
        {{src1, dst1, 2, {}}, {"/unchecked", "/never", 1, "old"}, {src2, dst2, 0, {}}});
    RunToEnd(window);

    const std::string first = Block(src1, dst1, {}, {src1 + "/one"});
    const std::string second = Block(src2, dst2, {}, {src2 + "/two"});
    EXPECT_EQ(window.report(), first + second);
    EXPECT_EQ(window.log(), (Log{"start off", "option off", "stop on", "status 0 ＃", "report",
                                 "status 0 完成", "status 2 ＃", "report", "status 2 完成",
                                 "start on", "option on", "stop off", "box 同步完成﹝"}));
    EXPECT_EQ(window.rowStatus(1), "old");
    EXPECT_EQ(window.statusLine(), Native(src2 + "/two"));
    EXPECT_EQ(g_syncRunning.load(), 0);
}

TEST_F(SyncRunTest, NoCheckedRowBuildsNoReportButStillFinishes) {
    TestWindow window({{src1, dst1, 1, {}}});
    RunToEnd(window);
    EXPECT_EQ(window.log(), (Log{"start off", "option off", "stop on", "start on", "option on",
                                 "stop off", "box 同步完成﹝"}));
    EXPECT_EQ(ReadTree(dst1), Tree{});
}

TEST_F(SyncRunTest, FailuresAreListedBeforeUpdatesAndSkippedPairsDoNotStopTheRun) {
    WriteTree(src1, {{"a", File("a")}, {"m", File("new", kTime + 1)}, {"z", File("z")}});
    WriteTree(dst1, {{"m", File("read-only", kTime, 0, 0444)}});
    WriteTree(src2, {{"b", File("b")}});
    TestWindow window({{src1, dst1, 2, {}}, {"relative", dst2, 2, {}}, {src2, dst2, 2, {}}});
    RunToEnd(window);
    EXPECT_EQ(window.report(),
              Block(src1, dst1, {src1 + "/m"}, {src1 + "/a", src1 + "/z"}) +
                  SkippedBlock("relative", dst2, "源目錄或目標目錄不是完整路徑，已跳過") +
                  Block(src2, dst2, {}, {src2 + "/b"}));
    EXPECT_EQ(window.rowStatus(1), "跳過");
}

// The status line shows every source file examined, and in the prune pass the
// source-side path of every target file it looks at: those the source lacks.
class StatusRecorder : public TestWindow {
public:
    using TestWindow::TestWindow;
    void setStatusLine(const std::string& text) override {
        lines.push_back(text);
        TestWindow::setStatusLine(text);
    }
    std::vector<std::string> lines;
};

TEST_F(SyncRunTest, StatusLineFollowsBothPasses) {
    WriteTree(src1, {{"a", File("a")}, {"d/b", File("b")}});
    WriteTree(dst1, {{"old", File("o")}, {"d/c", File("c")}});
    StatusRecorder window({{src1, dst1, 2, {}}}, true);
    RunToEnd(window);
    Log expected = {src1 + "/a", src1 + "/d/b", src1 + "/d/c", src1 + "/old"};
    for (std::string& line : expected) {
        line = Native(line);
    }
    EXPECT_EQ(window.lines, expected);
}

#ifndef _WIN32
// Names no Windows file system stores, and the lock as Linux takes it.
class PosixSyncRunTest : public SyncRunTest {};

// Names that could steer a terminal or split a line are shown escaped in the report
// and the status line, and copied under their exact names.
TEST_F(PosixSyncRunTest, NamesAreShownEscapedAndCopiedExactly) {
    const std::string root = temp.sub("odd\nroot");
    const std::string forged = "x\033]0;pwned\007\033[2Jy";
    WriteTree(root, {{forged, File("f")}, {"a\nb", File("n")}, {"\xff\\", File("b")}});
    TestWindow window({{root, dst1, 2, {}}});
    RunToEnd(window);
    const std::string shownRoot = temp.path() + "/odd\\x0Aroot";
    EXPECT_EQ(window.report(),
              Block(shownRoot, dst1, {},
                    {shownRoot + "/a\\x0Ab", shownRoot + "/x\\x1B]0;pwned\\x07\\x1B[2Jy",
                     shownRoot + "/\\xFF\\\\"}));
    EXPECT_EQ(window.statusLine(), shownRoot + "/\\xFF\\\\");
    EXPECT_EQ(ReadTree(dst1),
              (Tree{{forged, File("f")}, {"a\nb", File("n")}, {"\xff\\", File("b")}}));
}

// A pair holds a lock on its target while it runs and lets it go when it is done;
// another run takes the lock the same way and must not get it meanwhile.
TEST_F(PosixSyncRunTest, APairWhoseTargetAnotherRunHoldsIsSkipped) {
    WriteTree(src1, {{"one", File("1")}});
    WriteTree(src2, {{"two", File("2")}});
    NativeFileSystem otherRun;
    FolderHandle held = kNoFolder;
    ASSERT_EQ(otherRun.openRoot(dst1, held), 0);
    ASSERT_EQ(otherRun.lockFolder(held), 0);
    TestWindow window({{src1, dst1, 2, {}}, {src1, dst2, 2, {}}, {src2, dst2, 2, {}}}, true);
    RunToEnd(window);
    otherRun.closeFolder(held);
    EXPECT_EQ(window.report(), SkippedBlock(src1, dst1, "目標目錄正由另一個同步使用，已跳過") +
                                   Block(src1, dst2, {}, {src1 + "/one"}) +
                                   Block(src2, dst2, {}, {src2 + "/two"}));
    EXPECT_EQ(ReadTree(dst1), Tree{});
}
#endif

} // namespace
} // namespace kestrova::test
