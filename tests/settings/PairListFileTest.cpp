// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "settings/PairListFile.h"

#include "SettingsTestSupport.h"

#include <gtest/gtest.h>

#include <random>

#include <sys/stat.h>

namespace kestrova {
namespace {

using settings_test::Pairs;
using settings_test::PairVector;
using settings_test::ReadBytes;
using settings_test::TempFolder;
using settings_test::WriteBytes;

Pairs Parsed(const std::string& contents) {
    PairVector list;
    ParsePairList(contents, list);
    return list.pairs;
}

TEST(PairListReading, SplitsAtTheFirstBarAndKeepsBlanks) {
    EXPECT_EQ(Parsed("C:\\a|D:\\b\r\n"), (Pairs{{"C:\\a", "D:\\b"}}));
    EXPECT_EQ(Parsed("C:\\a|D:\\b|x\r\n"), (Pairs{{"C:\\a", "D:\\b|x"}}));
    EXPECT_EQ(Parsed(" /src \t| /dst \n"), (Pairs{{" /src \t", " /dst "}}));
    EXPECT_EQ(Parsed("|\n|/t\n/s|\n"), (Pairs{{"", ""}, {"", "/t"}, {"/s", ""}}));
    EXPECT_EQ(Parsed("no bar\r\n\r\n\n/a|/b"), (Pairs{{"/a", "/b"}}));
    EXPECT_EQ(Parsed(""), Pairs{});
}

TEST(PairListReading, LineEnds) {
    const Pairs two{{"/a", "/b"}, {"/c", "/d"}};
    EXPECT_EQ(Parsed("/a|/b\r\n/c|/d\r\n"), two);
    EXPECT_EQ(Parsed("/a|/b\n/c|/d\n"), two);
    EXPECT_EQ(Parsed("/a|/b\r\n/c|/d"), two);
    EXPECT_EQ(Parsed("/a|/b\n/c|/d\r"), two);
    // A lone CR does not end a line; CRs at either end of a part are dropped,
    // except one left just before the line end, as the Windows program reads it.
    EXPECT_EQ(Parsed("\r/a\r|\r/b\r\n"), (Pairs{{"/a", "/b"}}));
    EXPECT_EQ(Parsed("/a|/b\r/c|/d\n"), (Pairs{{"/a", "/b\r/c|/d"}}));
    EXPECT_EQ(Parsed("/a|/b\r\r\n"), (Pairs{{"/a", "/b\r"}}));
}

TEST(PairListReading, LongLinesStayWhole) {
    const std::string source = "/" + std::string(300, 's');
    const std::string target = "/" + std::string(70000, 't') + "|x";
    EXPECT_EQ(Parsed(source + "|" + target + "\r\n/a|/b\r\n"),
              (Pairs{{source, target}, {"/a", "/b"}}));
}

TEST(PairListReading, OddBytesAreKeptAsBytes) {
    const std::string withNul("/a\0b|/c\0\n", 10);
    EXPECT_EQ(Parsed(withNul), (Pairs{{std::string("/a\0b", 4), std::string("/c\0", 3)}}));
    EXPECT_EQ(Parsed("/\xff\xfe|/\xc3\n"), (Pairs{{"/\xff\xfe", "/\xc3"}}));
    // The search for the bar goes by byte, inside multi-byte characters too.
    EXPECT_EQ(Parsed("/\xae|\x7c/t\n"), (Pairs{{"/\xae", "\x7c/t"}}));
}

TEST(PairListReading, ManyMebibytesOfGarbage) {
    std::mt19937 random(7);
    std::string garbage(4 << 20, '\0');
    for (char& c : garbage) {
        c = static_cast<char>(random());
    }
    PairVector list;
    ParsePairList(garbage, list);
    EXPECT_GT(list.rowCount(), 1000);
}

TEST(PairListFile, MissingOrUnreadableFileGivesNoRows) {
    TempFolder folder;
    PairVector list;
    EXPECT_EQ(LoadPairList(list, folder.file("dirlist.cfg")), ReadStatus::Missing);
    EXPECT_EQ(LoadPairList(list, folder.file("no/such/dirlist.cfg")), ReadStatus::Missing);
    EXPECT_EQ(LoadPairList(list, folder.path().string()), ReadStatus::Unreadable);
#ifndef _WIN32
    ASSERT_EQ(::mkfifo(folder.file("pipe").c_str(), 0600), 0);
    EXPECT_EQ(LoadPairList(list, folder.file("pipe")), ReadStatus::Unreadable);
#endif
    EXPECT_EQ(list.rowCount(), 0);
}

TEST(PairListFile, SavesCrLfLinesAndReadsThemBack) {
    TempFolder folder;
    const std::string file = folder.file("dirlist.cfg");
    const PairVector saved(Pairs{{"/home/me/文件", "/media/備份 1"},
                                 {" lead and trail ", "\ttab\t"},
                                 {"/src", "/dst|with|bars"},
                                 {"", ""},
                                 {"/" + std::string(1000, 'x'), "/y"}});
    SaveFileSystem fs;
    ASSERT_TRUE(SavePairList(saved, file, fs).ok());
    EXPECT_EQ(ReadBytes(file), "/home/me/文件|/media/備份 1\r\n lead and trail |\ttab\t\r\n"
                               "/src|/dst|with|bars\r\n|\r\n/" +
                                   std::string(1000, 'x') + "|/y\r\n");

    PairVector loaded;
    EXPECT_EQ(LoadPairList(loaded, file), ReadStatus::Read);
    EXPECT_EQ(loaded.pairs, saved.pairs);

    ASSERT_TRUE(SavePairList(PairVector(), file, fs).ok());
    EXPECT_EQ(ReadBytes(file), "");
}

#ifndef _WIN32
TEST(PairListFile, SaveThroughALinkUpdatesTheLinkedFile) {
    TempFolder folder;
    const std::string real = folder.file("real.cfg");
    const std::string link = folder.file("dirlist.cfg");
    WriteBytes(real, "/old|/pair\r\n");
    std::filesystem::permissions(real, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_write);
    std::filesystem::create_symlink("real.cfg", link);
    SaveFileSystem fs;
    ASSERT_TRUE(SavePairList(PairVector(Pairs{{"/a", "/b"}}), link, fs).ok());
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadBytes(real), "/a|/b\r\n");
    EXPECT_EQ(std::filesystem::status(real).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}
#endif

} // namespace
} // namespace kestrova
