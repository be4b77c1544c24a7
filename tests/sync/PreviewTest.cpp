// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "RunHelpers.h"

#include "report/SyncStats.h"
#include "support/ScopedEnv.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

class PreviewTest : public ::testing::Test {
protected:
    std::string run(const RunOptions& options) {
        TestWindow window({{src, dst, 2, {}}}, true);
        window.setRunOptions(options);
        RunToEnd(window);
        return window.report();
    }

    TempFolder temp;
    std::string src = temp.sub("src");
    std::string dst = temp.sub("dst");
};

// Where a folder and a file clash, the run deletes and copies twice over; where a
// read-only file resists, its folder stays. The preview must foresee all of it.
TEST_F(PreviewTest, ListsWhatTheRunThenCopiesAndDeletes) {
    WriteTree(src, {{"a", File("a")}, {"b/f", File("f")}, {"keep", File("k")}, {"n", File("n")}});
    const Tree target = {
        {"a/x", File("x")},    {"b", File("b")},    {"gone/ro", File("r", kTime, 0, 0444)},
        {"gone/w", File("w")}, {"keep", File("k")}, {"z", File("z")}};
    WriteTree(dst, target);
    const std::string preview = run({true, false, RunOptions::kNoCap});
    EXPECT_EQ(ReadTree(dst), Full(target));

    const std::string expected =
        "從 " + src + "\r\n到 " + dst + "\r\n同步過程中沒有錯誤\r\n" + "%s\r\n" +
        Native(src + "/n") + "\r\n" + Native(src + "/a") + "\r\n" + Native(src + "/b/f") +
        "\r\n\r\n%s\r\n" + Native(dst + "/a/x") + "\r\n" + Native(dst + "/a/") + "\r\n" +
        Native(dst + "/b") + "\r\n" + Native(dst + "/gone/w") + "\r\n" + Native(dst + "/z") +
        "\r\n\r\n" + "\r\n---------------------------------\r\n\r\n";
    const auto with = [&](const std::string& updated, const std::string& deleted) {
        std::string text = expected;
        text.replace(text.find("%s"), 2, updated);
        text.replace(text.find("%s"), 2, deleted);
        return text;
    };
    EXPECT_EQ(preview, with("將會更新以下文件", "將會刪除以下文件和目錄"));
    EXPECT_EQ(run({false, true, RunOptions::kNoCap}),
              with("更新了以下改動過的文件", "刪除了以下文件和目錄"));
}

TEST_F(PreviewTest, APairOverTheDeletionCapDeletesNothing) {
    WriteTree(src, {{"a", File("a")}});
    const Tree target = {{"a", File("a")}, {"old/x", File("x")}, {"y", File("y")}};
    WriteTree(dst, target);
    EXPECT_EQ(run({false, false, 2}),
              Block(src, dst, {}, {}, "要刪除的項目有 3 個，超過上限 2 個，已跳過刪除"));
    EXPECT_EQ(ReadTree(dst), Full(target));
    EXPECT_EQ(g_syncStats.pairsSkipped.load(), 1u);

    // At the cap, everything goes.
    EXPECT_NE(run({false, true, 3})
                  .find("刪除了以下文件和目錄\r\n" + Native(dst + "/old/x") + "\r\n" +
                        Native(dst + "/old/") + "\r\n" + Native(dst + "/y") + "\r\n\r\n"),
              std::string::npos);
    EXPECT_EQ(ReadTree(dst), Full({{"a", File("a")}}));
    EXPECT_EQ(g_syncStats.pairsSkipped.load(), 0u);
}

#ifdef _WIN32
// Names match without regard to case, in the preview as in the run: the folder
// "A.TXT" in the way of the file "a.txt" goes, and the file comes.
class WindowsPreviewTest : public PreviewTest {};

TEST_F(WindowsPreviewTest, NamesMatchWithoutRegardToCase) {
    WriteTree(src, {{"a.txt", File("a")}});
    const Tree target = {{"A.TXT/inner", File("i")}};
    WriteTree(dst, target);
    std::string preview = run({true, false, RunOptions::kNoCap});
    EXPECT_EQ(ReadTree(dst), Full(target));
    for (const auto& [foreseen, done] :
         {std::pair<std::string, std::string>{"將會更新以下文件", "更新了以下改動過的文件"},
          {"將會刪除以下文件和目錄", "刪除了以下文件和目錄"}}) {
        ASSERT_NE(preview.find(foreseen), std::string::npos) << preview;
        preview.replace(preview.find(foreseen), foreseen.size(), done);
    }
    EXPECT_EQ(preview, run({false, true, RunOptions::kNoCap}));
    EXPECT_EQ(ReadTree(dst), (Tree{{"a.txt", File("a")}}));
}
#endif

#ifndef _WIN32
// Puts back every entry of the trash in `trash` where its .trashinfo says it was.
void RestoreAll(const std::string& trash) {
    DIR* info = ::opendir((trash + "/info").c_str());
    ASSERT_NE(info, nullptr);
    while (const dirent* entry = ::readdir(info)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        std::ifstream in(trash + "/info/" + name);
        std::string line;
        std::string path;
        while (std::getline(in, line)) {
            if (line.rfind("Path=", 0) == 0) {
                for (std::size_t i = 5; i < line.size(); ++i) {
                    path += line[i] != '%'
                                ? line[i]
                                : static_cast<char>(std::stoi(line.substr(i + 1, 2), nullptr, 16));
                    i += line[i] == '%' ? 2 : 0;
                }
            }
        }
        name.resize(name.size() - std::string(".trashinfo").size());
        ::mkdir(path.substr(0, path.rfind('/')).c_str(), 0755);
        EXPECT_EQ(std::rename((trash + "/files/" + name).c_str(), path.c_str()), 0) << path;
    }
    ::closedir(info);
}

// A home folder of the test's own, on the file system of the folders it syncs, and
// XDG_DATA_HOME, where the trash of the home file system lives, set by each test.
class PosixTrashTest : public PreviewTest {
protected:
    void useDataHome(const std::string& path) { ScopedEnv::Set("XDG_DATA_HOME", path.c_str()); }

    ScopedEnv home{"HOME", temp.sub("home").c_str()};
    ScopedEnv dataHome{"XDG_DATA_HOME", nullptr};
};

TEST_F(PosixTrashTest, DeletedAndReplacedFilesCanBePutBackFromTheTrash) {
    const std::string data = temp.sub("data é");
    useDataHome(data);
    WriteTree(src, {{"a", File("new", kTime + 10)}, {"keep", File("k")}});
    const Tree target = {
        {"a", File("old", kTime, 5, 0600)}, {"d/gone 100%", File("g")}, {"keep", File("k")}};
    WriteTree(dst, target);
    RunOptions options;
    options.trash = true;
    run(options);
    EXPECT_EQ(ReadTree(dst), (Tree{{"a", File("new", kTime + 10)}, {"keep", File("k")}}));
    RestoreAll(data + "/Trash");
    EXPECT_EQ(ReadTree(dst), Full(target));

    // Without a usable trash nothing is deleted or replaced, and the pair says so.
    useDataHome(temp.sub("no-trash"));
    WriteTree(temp.path(), {{"no-trash/Trash", File("in the way")}});
    EXPECT_EQ(run(options),
              Block(src, dst, {src + "/a"}, {}, {})
                  .insert(Block(src, dst, {src + "/a"}, {}).find("\r\n---"),
                          "目標所在的文件系統沒有可用的回收站，其中的文件沒有刪除或替換\r\n"));
    EXPECT_EQ(ReadTree(dst), Full(target));

    // A trash inside the target is never emptied into itself.
    useDataHome(dst + "/data");
    run(options);
    EXPECT_EQ(::access((dst + "/data/Trash/files/a").c_str(), F_OK), 0);
    EXPECT_EQ(::access((dst + "/data/Trash/info/a.trashinfo").c_str(), F_OK), 0);
}
#endif

} // namespace
} // namespace kestrova::test
