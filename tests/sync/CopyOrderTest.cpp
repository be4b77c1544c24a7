// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "RunHelpers.h"
#include "report/FileList.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace kestrova::test {
namespace {

// Copies run on helper threads. This stand-in makes early names slow and fails some,
// so copies finish out of walk order.
class OutOfOrderCopies : public NativeFileSystem {
public:
    CopyOutcome copy(FolderHandle from, FolderHandle to, const char* name, EntryKind kind,
                     const std::atomic<bool>& stop) override {
        const std::string text(name);
        std::this_thread::sleep_for(std::chrono::milliseconds(text < "m" ? 20 : 0));
        if (text.find("fail") != std::string::npos) {
            return CopyOutcome::Failed;
        }
        return NativeFileSystem::copy(from, to, name, kind, stop);
    }
};

TEST(CopyOrderTest, OutcomesAreListedInWalkOrderWhateverOrderCopiesFinishIn) {
    TempFolder temp;
    const std::string src = temp.sub("src");
    const std::string dst = temp.sub("dst");
    // "e-ro" is a failure the walk decides on (a read-only copy), between those of copies.
    WriteTree(src, {{"a-fail", File("1")},
                    {"b", File("2")},
                    {"c-fail", File("3")},
                    {"d", File("4")},
                    {"e-ro", File("new", kTime + 1)},
                    {"f", File("5")},
                    {"k/x", File("6")},
                    {"k/y-fail", File("7")},
                    {"n", File("8")},
                    {"z", File("9")}});
    WriteTree(dst, {{"e-ro", File("old", kTime, 0, 0444)}});
    OutOfOrderCopies fs;
    EXPECT_EQ(RunPair(src, dst, true, &fs),
              Block(src, dst, {src + "/a-fail", src + "/c-fail", src + "/e-ro", src + "/k/y-fail"},
                    {src + "/b", src + "/d", src + "/f", src + "/k/x", src + "/n", src + "/z"}));
    EXPECT_EQ(ReadTree(dst), (Tree{{"b", File("2")},
                                   {"d", File("4")},
                                   {"e-ro", File("old", kTime, 0, 0444)},
                                   {"f", File("5")},
                                   {"k", Folder()},
                                   {"k/x", File("6")},
                                   {"n", File("8")},
                                   {"z", File("9")}}));
}

namespace fs = std::filesystem;

// Where temporary files go, through the variable the system's temporary folder comes
// from, until the end of the test.
class TemporaryFolderChoice {
public:
    ~TemporaryFolderChoice() { use(m_saved); }
    void use(const std::string& folder) {
#ifdef _WIN32
        ::_putenv_s(kVariable, folder.c_str());
#else
        ::setenv(kVariable, folder.c_str(), 1);
#endif
    }

private:
#ifdef _WIN32
    static constexpr const char* kVariable = "TMP";
#else
    static constexpr const char* kVariable = "TMPDIR";
#endif
    std::string m_saved = std::getenv(kVariable) != nullptr ? std::getenv(kVariable) : "";
};

// The list goes to an unnamed temporary file once it outgrows its buffer, or stays in
// memory where none can be made; either way it hands over exactly what was added and
// leaves no file behind.
TEST(FileListTest, HandsOverExactlyWhatWasAddedWithOrWithoutATemporaryFile) {
    TempFolder temp;
    TemporaryFolderChoice choice;
    for (const std::string& folder : {temp.sub("spool"), temp.sub("missing", false)}) {
        choice.use(folder);
        std::string expected;
        {
            FileList list;
            for (int i = 0; i < 3000; ++i) {
                const std::string path =
                    "/p/" + std::string(static_cast<std::size_t>(i % 97), 'x') + std::to_string(i);
                list.add(path);
                expected += path + "\r\n";
            }
            const std::string huge(300000, 'h'); // longer than a piece handed over
            list.add(huge);
            expected += huge + "\r\n";
            list.add("/bad\n");
            expected += "/bad\\x0A\r\n";
            EXPECT_EQ(list.size(), expected.size());
#ifndef _WIN32
            EXPECT_FALSE(fs::exists(folder) && !fs::is_empty(folder)) << "a named file";
#endif
            SpooledText out("head");
            list.moveTo(out);
            EXPECT_EQ(out.toString(), "head" + expected);
            EXPECT_TRUE(list.empty());
            std::string middle(7, '\0');
            ASSERT_TRUE(out.read(SpooledText::kBufferSize - 3, middle.size(), middle.data()));
            EXPECT_EQ(middle, ("head" + expected).substr(SpooledText::kBufferSize - 3, 7));
        }
        EXPECT_FALSE(fs::exists(folder) && !fs::is_empty(folder)) << "a file left behind";
    }
}

} // namespace
} // namespace kestrova::test
