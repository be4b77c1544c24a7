// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "paths/FolderPathValidation.h"

#include "paths/StandIns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova {
namespace {

using namespace std::string_view_literals;
using test::kSeparator;
using test::MakeTempFolder;
using test::MemoryFolderFileSystem;
using Names = std::vector<std::string>;

// Check mode; it must not look at the disk.
int Check(std::string_view path, PathStyle style) {
    MemoryFolderFileSystem fs;
    const int result = ValidateFolderPath(path, true, fs, style);
    EXPECT_TRUE(fs.untouched()) << path;
    return result;
}

TEST(ValidateFolderPath, WindowsForms) {
    // "\xA5\x5C" and "\xAE\x7C" are code page 950 characters whose second byte is "\" or "|".
    for (const auto path : {"C:\\"sv, "c:\\"sv, "z:\\a b\\c.d\\a\tb"sv,
                            "C:\\!#$%&'()+,;=@[]^_`{}~"sv, "C:\\\xA4\xA4\\\x01\xFF"sv,
                            "C:\\\xA5\x5C"
                            "b"sv}) {
        EXPECT_EQ(Check(path, PathStyle::Windows), kFolderPathOk) << path;
    }
    for (const auto path :
         {""sv, "C:"sv, "C:a"sv, "\\\\server\\share"sv, "folder"sv, "C:/a"sv, " C:\\a"sv, "1:\\a"sv,
          "C:\\a\\"sv, "C:\\a\\\\b"sv, "C:\\ a"sv, "C:\\a."sv, "C:\\\ta"sv, "C:\\."sv, "C:\\.."sv,
          "C:\\a\0b"sv, "C:\\\xAE\x7C"sv, "C:\\\xA5\x5C"sv}) {
        EXPECT_EQ(Check(path, PathStyle::Windows), kFolderPathInvalid) << path;
    }
    for (const char c : "\"*/:<>?|"sv) {
        EXPECT_EQ(Check(std::string("C:\\a") + c, PathStyle::Windows), kFolderPathInvalid) << c;
    }
    EXPECT_EQ(Check("C:\\" + std::string(256, 'n'), PathStyle::Windows), kFolderPathOk);
    EXPECT_EQ(Check("C:\\" + std::string(257, 'n'), PathStyle::Windows), kFolderPathInvalid);
}

TEST(ValidateFolderPath, PosixForms) {
    for (const auto path : {"/"sv, "/home/u/.config"sv, "/a./b.../c d/e\tf"sv,
                            "/a:b*c?d\"<>|\\/100%s"sv, "/\xE4\xB8\xAD/\xFF"sv}) {
        EXPECT_EQ(Check(path, PathStyle::Posix), kFolderPathOk) << path;
    }
    for (const auto path : {""sv, "a/b"sv, "~/a"sv, " /a"sv, "C:\\a"sv, "//a"sv, "/a//b"sv, "/a/"sv,
                            "/."sv, "/a/../b"sv, "/ a"sv, "/a "sv, "/\ta"sv, "/a\0b"sv}) {
        EXPECT_EQ(Check(path, PathStyle::Posix), kFolderPathInvalid) << path;
    }
    EXPECT_EQ(Check("/" + std::string(255, 'n'), PathStyle::Posix), kFolderPathOk);
    EXPECT_EQ(Check("/" + std::string(256, 'n'), PathStyle::Posix), kFolderPathInvalid);
    std::string longest;
    for (int i = 0; i < 16; ++i) {
        longest += "/" + std::string(255, 'n');
    }
    EXPECT_EQ(Check(longest, PathStyle::Posix), kFolderPathInvalid); // 4,096 bytes
    longest.pop_back();
    EXPECT_EQ(Check(longest, PathStyle::Posix), kFolderPathOk);
}

// A typed path longer than the limit is cut to whole characters: "/中文" is 7 bytes.
TEST(ValidateFolderPath, CutToPathLimitKeepsWholeCharacters) {
    const std::string wide = "/\xE4\xB8\xAD\xE6\x96\x87";
    EXPECT_EQ(CutToPathLimit(wide, 7), wide);
    for (const std::size_t limit : {4u, 5u, 6u}) {
        EXPECT_EQ(CutToPathLimit(wide, limit), "/\xE4\xB8\xAD") << limit;
    }
    EXPECT_EQ(CutToPathLimit(wide, 3), "/");
    EXPECT_EQ(CutToPathLimit("/abcd", 4), "/abc");
    EXPECT_EQ(CutToPathLimit("/abc", 4), "/abc");
}

TEST(ValidateFolderPath, CreateModeWorksOuterFirstAndStopsAtFailure) {
    MemoryFolderFileSystem fs;
    fs.existing = {"C:\\", "/"};
    fs.refused = {"C:\\x\\y"};
    EXPECT_EQ(ValidateFolderPath("C:\\a\\b", false, fs, PathStyle::Windows), kFolderPathOk);
    EXPECT_EQ(ValidateFolderPath("C:\\x\\y\\z", false, fs, PathStyle::Windows),
              kFolderPathNotCreated);
    EXPECT_EQ(fs.created, (Names{"C:\\a", "C:\\a\\b", "C:\\x", "C:\\x\\y"}));
    // Roots are never created; a missing drive root is reported.
    fs.created.clear();
    EXPECT_EQ(ValidateFolderPath("/", false, fs, PathStyle::Posix), kFolderPathOk);
    EXPECT_EQ(ValidateFolderPath("Q:\\", false, fs, PathStyle::Windows), kFolderPathNotCreated);
    // A malformed path leaves nothing behind, even where its first names are fine.
    EXPECT_EQ(ValidateFolderPath("/a/b/", false, fs, PathStyle::Posix), kFolderPathInvalid);
    EXPECT_EQ(ValidateFolderPath("/a//b", false, fs, PathStyle::Posix), kFolderPathInvalid);
    EXPECT_TRUE(fs.created.empty());
}

// The real file system, failing on purpose for one name: CI runs as root,
// where permission bits do not stop mkdir.
class RefusingFolderFileSystem : public NativeFolderFileSystem {
public:
    std::string refused;
    void createFolder(const std::string& path) override {
        if (path != refused) {
            NativeFolderFileSystem::createFolder(path);
        }
    }
};

TEST(ValidateFolderPath, CreateModeOnDisk) {
    const std::string base = MakeTempFolder();
    const auto at = [&base](const std::string& relative) {
        std::string path = base + kSeparator + relative;
        std::replace(path.begin(), path.end(), '/', *kSeparator);
        return path;
    };
    RefusingFolderFileSystem fs;
    fs.refused = at("c/d");
    std::ofstream(at("file")) << "data";

    EXPECT_EQ(ValidateFolderPath(at("a/b"), false, fs), kFolderPathOk);
    EXPECT_TRUE(std::filesystem::is_directory(at("a/b")));
    // A file where a folder should be is no folder, at the end of the path or before it.
    EXPECT_EQ(ValidateFolderPath(at("file"), false, fs), kFolderPathNotCreated);
    EXPECT_EQ(ValidateFolderPath(at("file/sub"), false, fs), kFolderPathNotCreated);
    EXPECT_EQ(ValidateFolderPath(at("c/d/e"), false, fs), kFolderPathNotCreated);
    EXPECT_TRUE(std::filesystem::is_directory(at("c")));
    EXPECT_FALSE(std::filesystem::exists(at("c/d")));
    std::filesystem::remove_all(base);
}

} // namespace
} // namespace kestrova
