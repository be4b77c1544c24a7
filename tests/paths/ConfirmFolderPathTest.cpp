// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "paths/ConfirmFolderPath.h"

#include "paths/StandIns.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace kestrova {
namespace {

using test::kSeparator;
using test::MakeTempFolder;
using test::MemoryFolderFileSystem;
using test::PresetPrompt;
using Boxes = std::vector<std::pair<std::string, BoxStyle>>;

std::pair<std::string, BoxStyle> Box(const std::string& path, const char* tail,
                                     BoxStyle style = BoxStyle::OkExclamation) {
    return {"The folder:\n\n" + path + "\n\n" + tail, style};
}
const char* const kQuestion = "does not exist. Do you want the folder to be created?";
const char* const kInvalid = "is invalid. Please reenter.";
const char* const kNotCreated = "can not be created. Please double check.";

// An existing folder is taken without a word; a file is refused, in the browser and in
// the pair editor alike, and text of any other form is the editor's to keep.
TEST(ConfirmFolderPath, ExistingFolderIsAcceptedWithoutAskingAndAFileIsRefused) {
    MemoryFolderFileSystem fs;
    fs.existing = {"/", "/home/u"};
    fs.files = {"/home/u/notes.txt", "notes.txt"};
    PresetPrompt prompt;
    EXPECT_EQ(ConfirmFolderPath("/", prompt, fs, PathStyle::Posix), kFolderPathOk);
    EXPECT_EQ(ConfirmFolderPath("/home/u", prompt, fs, PathStyle::Posix), kFolderPathOk);
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_FALSE(RefuseNonFolder("/home/u", prompt, fs, PathStyle::Posix));
    EXPECT_FALSE(RefuseNonFolder("/home/u/new", prompt, fs, PathStyle::Posix));
    EXPECT_FALSE(RefuseNonFolder("notes.txt", prompt, fs, PathStyle::Posix));
    EXPECT_TRUE(prompt.shown.empty());

    const auto notAFolder = std::make_pair(
        std::string("The path:\n\n/home/u/notes.txt\n\nis a file, not a folder. Please reenter."),
        BoxStyle::OkExclamation);
    EXPECT_EQ(ConfirmFolderPath("/home/u/notes.txt", prompt, fs, PathStyle::Posix),
              kFolderPathNotAFolder);
    EXPECT_TRUE(RefuseNonFolder("/home/u/notes.txt", prompt, fs, PathStyle::Posix));
    EXPECT_EQ(prompt.shown, (Boxes{notAFolder, notAFolder}));
    EXPECT_TRUE(fs.created.empty());
}

TEST(ConfirmFolderPath, DeclinedCreatesNothingAndShowsThePathLiterally) {
    MemoryFolderFileSystem fs;
    fs.existing = {"/"};
    PresetPrompt prompt;
    EXPECT_EQ(ConfirmFolderPath("/100%s/%d%n", prompt, fs, PathStyle::Posix), kFolderPathDeclined);
    EXPECT_EQ(prompt.shown, (Boxes{Box("/100%s/%d%n", kQuestion, BoxStyle::YesNoQuestion)}));
    EXPECT_TRUE(fs.created.empty());
}

TEST(ConfirmFolderPath, InvalidPathIsReportedWithoutTouchingTheDisk) {
    MemoryFolderFileSystem fs;
    PresetPrompt prompt;
    EXPECT_EQ(ConfirmFolderPath("C:\\a\\", prompt, fs, PathStyle::Windows), kFolderPathInvalid);
    EXPECT_EQ(prompt.shown, (Boxes{Box("C:\\a\\", kInvalid)}));
    EXPECT_TRUE(fs.untouched());
}

TEST(ConfirmFolderPath, FolderThatCannotBeMadeIsReportedAfterTheQuestion) {
    MemoryFolderFileSystem fs;
    fs.existing = {"/"};
    fs.refused = {"/a/b"};
    PresetPrompt prompt;
    prompt.answer = BoxAnswer::Yes;
    EXPECT_EQ(ConfirmFolderPath("/a/b/c", prompt, fs, PathStyle::Posix), kFolderPathNotCreated);
    EXPECT_EQ(ConfirmFolderPath("Q:\\", prompt, fs, PathStyle::Windows), kFolderPathNotCreated);
    EXPECT_EQ(prompt.shown,
              (Boxes{Box("/a/b/c", kQuestion, BoxStyle::YesNoQuestion), Box("/a/b/c", kNotCreated),
                     Box("Q:\\", kQuestion, BoxStyle::YesNoQuestion), Box("Q:\\", kNotCreated)}));
    EXPECT_EQ(fs.existing.count("/a"), 1u);
}

TEST(ConfirmFolderPath, YesCreatesTheMissingLevelsOnDisk) {
    const std::string base = MakeTempFolder();
    const std::string path = base + kSeparator + "one" + kSeparator + "two";
    PresetPrompt prompt;
    prompt.answer = BoxAnswer::Yes;
    EXPECT_EQ(ConfirmFolderPath(path, prompt), kFolderPathOk);
    EXPECT_EQ(prompt.shown, (Boxes{Box(path, kQuestion, BoxStyle::YesNoQuestion)}));
    EXPECT_TRUE(std::filesystem::is_directory(path));
    std::filesystem::remove_all(base);
}

} // namespace
} // namespace kestrova
