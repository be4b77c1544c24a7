#include "settings/Settings.h"

#include "SettingsTestSupport.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

TEST(OptionReading, MissingFileSectionOrKeyReadsAsSet) {
    TempFolder folder;
    const std::string ini = folder.file("Kestrova.ini");
    EXPECT_EQ(ReadOption(ini), 1);
    WriteBytes(ini, "[other]\r\nopt_delnone=0\r\n");
    EXPECT_EQ(ReadOption(ini), 1);
    WriteBytes(ini, "[setup]\r\nsomething=0\r\n");
    EXPECT_EQ(ReadOption(ini), 1);
    WriteBytes(ini, "");
    EXPECT_EQ(ReadOption(ini), 1);
}

TEST(OptionReading, ValueIsItsLeadingDigits) {
    const std::pair<std::string, int> cases[] = {
        {"0", 0},
        {"1", 1},
        {" 1", 1},
        {"1 ", 1},
        {"1abc", 1},
        {"abc", 0},
        {"", 0},
        {"-1", 0},
        {"\"0\"", 0},
        {"007", 7},
        {"12x3", 12},
        {"2147483647", 2147483647},
        {"99999999999999999999", 2147483647},
    };
    TempFolder folder;
    const std::string ini = folder.file("Kestrova.ini");
    for (const auto& [value, expected] : cases) {
        WriteBytes(ini, "[setup]\r\nopt_delnone=" + value + "\r\n");
        EXPECT_EQ(ReadOption(ini), expected) << "value \"" << value << "\"";
    }
}

TEST(OptionReading, NamesIgnoreCaseAndSurroundingBlanks) {
    TempFolder folder;
    const std::string ini = folder.file("Kestrova.ini");
    WriteBytes(ini, "[SetUp]\nOPT_DELNONE=0\n");
    EXPECT_EQ(ReadOption(ini), 0);
    WriteBytes(ini, "  [ setup ]  \n\t opt_delnone \t= 0 \n");
    EXPECT_EQ(ReadOption(ini), 0);
    // Comments, other sections and later repeats do not count.
    WriteBytes(ini, "[setup]\n;opt_delnone=0\n[x]\nopt_delnone=0\n[setup]\nopt_delnone=0\n"
                    "opt_delnone=1\n");
    EXPECT_EQ(ReadOption(ini), 0);
}

TEST(OptionWriting, CreatesFolderFileAndSection) {
    TempFolder folder;
    const std::string ini = folder.file("new/deeper/Kestrova.ini");
    SaveFileSystem fs;
    EXPECT_TRUE(WriteOption(0, ini, fs).ok());
    EXPECT_EQ(ReadBytes(ini), "[setup]\r\nopt_delnone=0\r\n");
    EXPECT_EQ(ReadOption(ini), 0);
    EXPECT_TRUE(WriteOption(1, ini, fs).ok());
    EXPECT_EQ(ReadOption(ini), 1);
}

TEST(OptionWriting, ChangesOnlyThatKey) {
    TempFolder folder;
    const std::string ini = folder.file("Kestrova.ini");
    SaveFileSystem fs;
    const std::string before = "; user notes\r\n[window]\r\nwidth=640\r\n\r\n"
                               "[SETUP]\r\nfirst=a\r\n  Opt_DelNone = 1  \r\nlast=z\r\n\r\n"
                               "[more]\r\nopt_delnone=7\r\n";
    WriteBytes(ini, before);
    EXPECT_TRUE(WriteOption(0, ini, fs).ok());
    EXPECT_EQ(ReadBytes(ini), "; user notes\r\n[window]\r\nwidth=640\r\n\r\n"
                              "[SETUP]\r\nfirst=a\r\nOpt_DelNone=0\r\nlast=z\r\n\r\n"
                              "[more]\r\nopt_delnone=7\r\n");
}

TEST(OptionWriting, AddsMissingKeyOrSectionWithTheFilesLineEnds) {
    TempFolder folder;
    const std::string ini = folder.file("Kestrova.ini");
    SaveFileSystem fs;
    WriteBytes(ini, "[setup]\nother=1\n\n[next]\nk=v");
    EXPECT_TRUE(WriteOption(0, ini, fs).ok());
    EXPECT_EQ(ReadBytes(ini), "[setup]\nother=1\nopt_delnone=0\n\n[next]\nk=v");

    WriteBytes(ini, "[next]\nk=v");
    EXPECT_TRUE(WriteOption(1, ini, fs).ok());
    EXPECT_EQ(ReadBytes(ini), "[next]\nk=v\n[setup]\nopt_delnone=1\n");
}

TEST(OptionWriting, LeavesAFileItCannotReadAlone) {
    TempFolder folder;
    const std::string ini = folder.file("Kestrova.ini");
    std::filesystem::create_directory(ini);
    std::filesystem::create_directory(folder.file("Kestrova.ini/keep"));
    SaveFileSystem fs;
    EXPECT_EQ(WriteOption(0, ini, fs).status, SaveStatus::CannotWrite);
    EXPECT_TRUE(std::filesystem::exists(folder.file("Kestrova.ini/keep")));
    EXPECT_EQ(ReadOption(ini), 1);
}

} // namespace
} // namespace kestrova
