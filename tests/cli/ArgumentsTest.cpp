// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "cli/Arguments.h"
#include "cli/ProgressLine.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

using Action = Arguments::Action;

TEST(ArgumentsTest, PairsAndTheDeleteOption) {
    const Arguments args = ParseArguments({"/a", "--delete", "/b", "/c", "/d"});
    EXPECT_EQ(args.action, Action::Run);
    EXPECT_TRUE(args.deleteOption);
    ASSERT_EQ(args.pairs.size(), 2u);
    EXPECT_EQ(args.pairs[0].source, "/a");
    EXPECT_EQ(args.pairs[0].target, "/b");
    EXPECT_EQ(args.pairs[1].source, "/c");
    EXPECT_EQ(args.pairs[1].target, "/d");
    EXPECT_FALSE(ParseArguments({"/a", "/b"}).deleteOption);
    EXPECT_EQ(args.options.maxDelete, RunOptions::kNoCap);

    // The count after --max-delete is not a folder.
    const Arguments more =
        ParseArguments({"--dry-run", "/a", "--max-delete", "7", "/b", "--list-deleted"});
    EXPECT_EQ(more.pairs.size(), 1u);
    EXPECT_TRUE(more.options.preview);
    EXPECT_TRUE(more.options.listDeleted);
    EXPECT_EQ(more.options.maxDelete, 7);
    EXPECT_EQ(ParseArguments({"--max-delete=0", "/a", "/b"}).options.maxDelete, 0);
}

TEST(ArgumentsTest, DoubleDashEndsOptions) {
    const Arguments args = ParseArguments({"--", "--delete", "-x"});
    EXPECT_EQ(args.action, Action::Run);
    EXPECT_FALSE(args.deleteOption);
    ASSERT_EQ(args.pairs.size(), 1u);
    EXPECT_EQ(args.pairs[0].source, "--delete");
    EXPECT_EQ(args.pairs[0].target, "-x");
}

TEST(ArgumentsTest, UsageErrors) {
    EXPECT_EQ(ParseArguments({}).action, Action::UsageError);
    EXPECT_EQ(ParseArguments({"--delete"}).action, Action::UsageError);
    EXPECT_EQ(ParseArguments({"/a", "/b", "/c"}).action, Action::UsageError);
    const Arguments unknown = ParseArguments({"--dry", "/a", "/b"});
    EXPECT_EQ(unknown.action, Action::UsageError);
    EXPECT_NE(unknown.error.find("--dry"), std::string::npos);
    for (const char* count : {"-1", "x", "3x", "", "99999999999999999999"}) {
        EXPECT_EQ(ParseArguments({"/a", "/b", "--max-delete", count}).action, Action::UsageError);
    }
    EXPECT_EQ(ParseArguments({"/a", "/b", "--max-delete"}).action, Action::UsageError);
}

TEST(ArgumentsTest, HelpAndVersionWinOverEverythingElse) {
    EXPECT_EQ(ParseArguments({"/a", "--help"}).action, Action::Help);
    EXPECT_EQ(ParseArguments({"--version", "/a"}).action, Action::Version);
}

TEST(ProgressLineTest, KeepsTheEndOfTheCurrentPathWithinTheWidth) {
    EXPECT_EQ(ProgressText(5, 2, 1, "/src/a", 80), "examined 5, copied 2, failed 1  /src/a");
    const std::string line = ProgressText(5, 2, 1, "/src/目錄/deep/file.txt", 45);
    EXPECT_EQ(line, "examined 5, copied 2, failed 1  ...p/file.txt");
    // Never cuts inside a character.
    const std::string wide = ProgressText(1, 1, 1, "/日誌日誌日誌日誌", 40);
    EXPECT_EQ(wide.substr(wide.size() - 6), "日誌");
}

} // namespace
} // namespace kestrova
