// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "settings/Settings.h"

#include "SettingsTestSupport.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

using settings_test::ReadBytes;
using settings_test::TempFolder;
using settings_test::WriteBytes;

TEST(OptionReading, DefaultsCaseAndValueParsing) {
    const std::pair<const char*, int> cases[] = {
        {"", 1},
        {"[other]\nopt_delnone=0\n", 1},
        {"[setup]\nsomething=0\n", 1},
        {"[setup]\r\nopt_delnone=0\r\n", 0},
        {"[setup]\nopt_delnone=1", 1},
        {"[setup]\nopt_delnone= 1\n", 1},
        {"[setup]\nopt_delnone=1abc\n", 1},
        {"[setup]\nopt_delnone=abc\n", 0},
        {"[setup]\nopt_delnone=\n", 0},
        {"[setup]\nopt_delnone=-1\n", 0},
        {"[setup]\nopt_delnone=\"0\"\n", 0},
        {"[setup]\nopt_delnone=99999999999999999999\n", 2147483647},
        {"[SetUp]\nOPT_DELNONE=0\n", 0},
        {"  [ setup ]  \n\t opt_delnone \t= 0 \n", 0},
        // Comments and other sections do not count; the first setting wins.
        {"[setup]\n;opt_delnone=0\n[x]\nopt_delnone=0\n[setup]\nopt_delnone=0\nopt_delnone=1\n", 0},
    };
    TempFolder folder;
    const std::string ini = folder.file("Kestrova.ini");
    EXPECT_EQ(ReadOption(ini), 1);
    for (const auto& [contents, expected] : cases) {
        WriteBytes(ini, contents);
        EXPECT_EQ(ReadOption(ini), expected) << contents;
    }
}

TEST(OptionWriting, ChangesOnlyThatKeyAndAddsWhatIsMissing) {
    const std::pair<const char*, const char*> cases[] = {
        {"; notes\r\n[window]\r\nw=640\r\n\r\n[SETUP]\r\na=1\r\n  Opt_DelNone = 1  \r\nz=2\r\n"
         "\r\n[more]\r\nopt_delnone=7\r\n",
         "; notes\r\n[window]\r\nw=640\r\n\r\n[SETUP]\r\na=1\r\nOpt_DelNone=0\r\nz=2\r\n"
         "\r\n[more]\r\nopt_delnone=7\r\n"},
        {"[setup]\nother=1\n\n[next]\nk=v", "[setup]\nother=1\nopt_delnone=0\n\n[next]\nk=v"},
        {"[next]\nk=v", "[next]\nk=v\n[setup]\nopt_delnone=0\n"},
    };
    TempFolder folder;
    const std::string ini = folder.file("Kestrova.ini");
    SaveFileSystem fs;
    for (const auto& [before, after] : cases) {
        WriteBytes(ini, before);
        EXPECT_TRUE(WriteOption(0, ini, fs).ok());
        EXPECT_EQ(ReadBytes(ini), after);
    }
}

TEST(OptionWriting, CreatesFolderAndFileAndReadsBack) {
    TempFolder folder;
    const std::string ini = folder.file("new/deeper/Kestrova.ini");
    SaveFileSystem fs;
    EXPECT_TRUE(WriteOption(0, ini, fs).ok());
    EXPECT_EQ(ReadBytes(ini), "[setup]\r\nopt_delnone=0\r\n");
    EXPECT_TRUE(WriteOption(1, ini, fs).ok());
    EXPECT_EQ(ReadOption(ini), 1);
}

TEST(WindowOptions, EachHasItsOwnKeyAndAFileWithoutThemKeepsTheDefaults) {
    TempFolder folder;
    const std::string ini = folder.file("Kestrova.ini");
    EXPECT_EQ(ReadWindowOptions(ini), (WindowOptions{1, 0, 0}));
    WriteBytes(ini, "[setup]\r\nopt_delnone=0\r\n");
    EXPECT_EQ(ReadWindowOptions(ini), (WindowOptions{0, 0, 0}));

    // Options never set add no line; once set, each goes under its own key.
    SaveFileSystem fs;
    EXPECT_TRUE(WriteWindowOptions({0, 0, 0}, ini, fs).ok());
    EXPECT_EQ(ReadBytes(ini), "[setup]\r\nopt_delnone=0\r\n");
    EXPECT_TRUE(WriteWindowOptions({1, 0, 1}, ini, fs).ok());
    EXPECT_EQ(ReadBytes(ini), "[setup]\r\nopt_delnone=1\r\nopt_trash=1\r\n");
    EXPECT_EQ(ReadWindowOptions(ini), (WindowOptions{1, 0, 1}));
    EXPECT_TRUE(WriteWindowOptions({1, 1, 0}, ini, fs).ok());
    EXPECT_EQ(ReadBytes(ini), "[setup]\r\nopt_delnone=1\r\nopt_trash=0\r\nopt_listdeleted=1\r\n");
    EXPECT_EQ(ReadWindowOptions(ini), (WindowOptions{1, 1, 0}));
    EXPECT_EQ(ReadOption(ini), 1);
}

TEST(OptionWriting, LeavesAFileItCannotReadAlone) {
    TempFolder folder;
    const std::string ini = folder.file("Kestrova.ini");
    std::filesystem::create_directories(folder.file("Kestrova.ini/keep"));
    SaveFileSystem fs;
    EXPECT_EQ(WriteOption(0, ini, fs).status, SaveStatus::CannotWrite);
    EXPECT_TRUE(std::filesystem::exists(folder.file("Kestrova.ini/keep")));
}

} // namespace
} // namespace kestrova
