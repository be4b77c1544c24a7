// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "i18n/WideText.h"
#include "settings/ConfigPaths.h"
#include "settings/PairListFile.h"
#include "settings/Settings.h"

#include "SettingsTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>

namespace kestrova {
namespace {

using settings_test::Pairs;
using settings_test::PairVector;
using settings_test::ReadBytes;
using settings_test::ScopedEnv;
using settings_test::TempFolder;
using settings_test::WriteBytes;

std::string BesideTheProgram(const char* name) {
    char program[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string path(program, length);
    return path.substr(0, path.find_last_of('\\') + 1) + name;
}

// The Windows program's list, in the ANSI code page beside the program, is read
// until the first save; the save goes to %APPDATA%\Kestrova in UTF-8 and is what is
// read from then on.
TEST(WindowsSettings, OriginalListCarriesOverAndSavesGoToAppData) {
    TempFolder folder;
    ScopedEnv appData("APPDATA", folder.path().string().c_str());
    EXPECT_EQ(PairListFilePath(), folder.file("Kestrova\\dirlist.cfg"));
    EXPECT_EQ(SettingsFilePath(), folder.file("Kestrova\\Kestrova.ini"));

    const std::string original = BesideTheProgram("dirlist.cfg");
    WriteBytes(original, "C:\\caf\xe9|D:\\b\r\n");
    PairVector loaded;
    EXPECT_EQ(LoadPairList(loaded), ReadStatus::Read);
    const std::string cafe = TextFromCodePage("C:\\caf\xe9", CP_ACP);
    EXPECT_EQ(loaded.pairs, (Pairs{{cafe, "D:\\b"}}));

    const Pairs saved{{cafe, "D:\\b"}, {"C:\\文件 \xf0\x9f\x93\x81", "D:\\x"}};
    ASSERT_TRUE(SavePairList(PairVector(saved)).ok());
    ::DeleteFileA(original.c_str());
    EXPECT_EQ(ReadBytes(PairListFilePath()),
              cafe + "|D:\\b\r\nC:\\文件 \xf0\x9f\x93\x81|D:\\x\r\n");
    PairVector reloaded;
    EXPECT_EQ(LoadPairList(reloaded), ReadStatus::Read);
    EXPECT_EQ(reloaded.pairs, saved);

    ASSERT_TRUE(WriteOption(0).ok());
    EXPECT_EQ(ReadOption(), 0);
}

// An old program that wrote to the Windows folder without elevation had the system
// keep its file in the user's VirtualStore folder and was shown that copy: it is read
// in place of the original until the program's own file exists.
TEST(WindowsSettings, VirtualStoreCopyIsReadBeforeTheOriginal) {
    TempFolder folder;
    ScopedEnv appData("APPDATA", folder.file("roaming").c_str());
    ScopedEnv localAppData("LOCALAPPDATA", folder.file("local").c_str());
    wchar_t windowsFolder[MAX_PATH];
    const UINT length = ::GetWindowsDirectoryW(windowsFolder, MAX_PATH);
    ASSERT_GT(length, 3u);
    const std::string redirected = folder.file("local\\VirtualStore\\") +
                                   windows::Utf8({windowsFolder + 3, length - 3}) +
                                   "\\Kestrova.ini";
    std::filesystem::create_directories(std::filesystem::path(redirected).parent_path());
    WriteBytes(redirected, "[setup]\r\nopt_delnone=0\r\n");
    EXPECT_EQ(SettingsFileToRead(), redirected);
    EXPECT_EQ(ReadOption(), 0);
    ASSERT_TRUE(WriteOption(1).ok());
    EXPECT_EQ(SettingsFileToRead(), SettingsFilePath());
    EXPECT_EQ(ReadOption(), 1);
}

// A double-byte character whose second byte is "|" stays whole: the file is
// converted before it is split.
TEST(WindowsSettings, AnsiListIsConvertedBeforeSplitting) {
    PairVector list;
    ParsePairList(TextFromCodePage("C:\\\xae\x7c|D:\\\xa4\xe5\xa5\xf3\r\n", 950), list);
    EXPECT_EQ(list.pairs, (Pairs{{"C:\\徑", "D:\\文件"}}));
    EXPECT_EQ(TextFromFile("C:\\文件|D:\\b"), "C:\\文件|D:\\b");
}

TEST(WindowsSettings, ReadOnlyFileIsLeftAlone) {
    TempFolder folder;
    const std::string file = folder.file("dirlist.cfg");
    WriteBytes(file, "C:\\kept|D:\\pair\r\n");
    ASSERT_TRUE(::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
    SaveFileSystem fs;
    EXPECT_EQ(SavePairList(PairVector(Pairs{{"C:\\a", "D:\\b"}}), file, fs).status,
              SaveStatus::CannotWrite);
    ::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(file), "C:\\kept|D:\\pair\r\n");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"dirlist.cfg"});
}

} // namespace
} // namespace kestrova
