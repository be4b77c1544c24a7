// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "cli/SavedRun.h"
#include "settings/PairListFile.h"

#include "settings/SettingsTestSupport.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

using settings_test::TempFolder;

using settings_test::WriteBytes;

TEST(SavedArguments, SavedTakesOnlyTheDeleteChoice) {
    Arguments args = ParseArguments({"--saved"});
    EXPECT_EQ(args.action, Arguments::Action::Run);
    EXPECT_TRUE(args.saved);
    EXPECT_FALSE(args.deleteChosen);

    args = ParseArguments({"--delete", "--saved", "--no-delete"});
    EXPECT_EQ(args.action, Arguments::Action::Run);
    EXPECT_TRUE(args.deleteChosen);
    EXPECT_FALSE(args.deleteOption);

    EXPECT_EQ(ParseArguments({"--saved", "/a", "/b"}).action, Arguments::Action::UsageError);
    EXPECT_EQ(ParseArguments({"--no-delete"}).action, Arguments::Action::UsageError);
}

TEST(SavedPairs, EveryPairWithTheSavedOrChosenOptions) {
    TempFolder folder;
    const std::string list = folder.file("dirlist.cfg");
    const std::string ini = folder.file("Kestrova.ini");
    WriteBytes(list, "/s1|/t1\r\nnot a pair\r\n/s2|/t2\r\n");

    Arguments args = ParseArguments({"--saved"});
    EXPECT_EQ(UseSavedPairs(args, list, ini), "");
    ASSERT_EQ(args.pairs.size(), 2u);
    EXPECT_EQ(args.pairs[1].source, "/s2");
    EXPECT_EQ(args.pairs[1].target, "/t2");
    EXPECT_TRUE(args.deleteOption); // no settings file: the option is set

    WriteBytes(ini, "[setup]\r\nopt_delnone=0\r\n");
    args = ParseArguments({"--saved"});
    EXPECT_EQ(UseSavedPairs(args, list, ini), "");
    EXPECT_FALSE(args.deleteOption);
    args = ParseArguments({"--saved", "--delete"});
    EXPECT_EQ(UseSavedPairs(args, list, ini), "");
    EXPECT_TRUE(args.deleteOption);
    EXPECT_FALSE(args.options.trash);

    // The trash and the deleted list as the window saved them, unless the command says.
    WriteBytes(ini, "[setup]\r\nopt_delnone=1\r\nopt_trash=1\r\nopt_listdeleted=1\r\n");
    args = ParseArguments({"--saved"});
    EXPECT_EQ(UseSavedPairs(args, list, ini), "");
    EXPECT_TRUE(args.options.trash);
    EXPECT_TRUE(args.options.listDeleted);
    args = ParseArguments({"--no-trash", "--saved", "--no-list-deleted"});
    EXPECT_EQ(UseSavedPairs(args, list, ini), "");
    EXPECT_FALSE(args.options.trash);
    EXPECT_FALSE(args.options.listDeleted);

    WriteBytes(list, "no pairs here\r\n");
    EXPECT_NE(UseSavedPairs(args, list, ini).find("holds no pairs"), std::string::npos);
}

} // namespace
} // namespace kestrova
