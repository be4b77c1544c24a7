// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "settings/ConfigPaths.h"
#include "settings/PairListFile.h"
#include "settings/Settings.h"

#include "SettingsTestSupport.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

using settings_test::Pairs;
using settings_test::PairVector;
using settings_test::ScopedEnv;
using settings_test::TempFolder;

TEST(ConfigPaths, FollowTheConfigHomeOrHome) {
    ScopedEnv xdg("XDG_CONFIG_HOME", "/cfg/");
    ScopedEnv home("HOME", "/home/me");
    EXPECT_EQ(SettingsFilePath(), "/cfg/kestrova/Kestrova.ini");
    EXPECT_EQ(PairListFilePath(), "/cfg/kestrova/dirlist.cfg");
    for (const char* unusable : {"", "relative/cfg"}) {
        ::setenv("XDG_CONFIG_HOME", unusable, 1);
        EXPECT_EQ(ConfigFolder(), "/home/me/.config/kestrova");
    }
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(ConfigFolder(), "/home/me/.config/kestrova");
    ::setenv("HOME", "/", 1);
    EXPECT_EQ(ConfigFolder(), "/.config/kestrova");
    // Without a usable HOME, the account's home folder counts.
    ::setenv("HOME", "not/absolute", 1);
    const std::string folder = ConfigFolder();
    EXPECT_EQ(folder.front(), '/');
    EXPECT_EQ(folder.find("not/absolute"), std::string::npos);
    EXPECT_TRUE(folder.ends_with("/.config/kestrova"));
}

TEST(ConfigPaths, FolderIsMadeOnFirstSave) {
    TempFolder folder;
    ScopedEnv xdg("XDG_CONFIG_HOME", folder.file("config").c_str());
    PairVector empty;
    EXPECT_EQ(LoadPairList(empty), ReadStatus::Missing);
    EXPECT_EQ(ReadOption(), 1);
    EXPECT_FALSE(std::filesystem::exists(folder.file("config")));

    ASSERT_TRUE(SavePairList(PairVector(Pairs{{"/a", "/b"}})).ok());
    ASSERT_TRUE(WriteOption(0).ok());
    EXPECT_EQ(std::filesystem::status(folder.file("config/kestrova")).permissions(),
              std::filesystem::perms::owner_all);
    PairVector loaded;
    EXPECT_EQ(LoadPairList(loaded), ReadStatus::Read);
    EXPECT_EQ(loaded.pairs, (Pairs{{"/a", "/b"}}));
    EXPECT_EQ(ReadOption(), 0);
}

} // namespace
} // namespace kestrova
