#include "RunHelpers.h"
#include "sync/FileList.h"

#include <chrono>
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

TEST(FileListTest, HandsOverExactlyWhatWasAddedAcrossBlocks) {
    FileList list;
    std::string expected;
    for (int i = 0; i < 3000; ++i) {
        const std::string path =
            "/p/" + std::string(static_cast<std::size_t>(i % 97), 'x') + std::to_string(i);
        list.add(path);
        expected += path + "\r\n";
    }
    const std::string huge(200000, 'h'); // longer than a block
    list.add(huge);
    expected += huge + "\r\n";
    EXPECT_EQ(list.size(), expected.size());
    std::string out = "head";
    list.moveTo(out);
    EXPECT_EQ(out, "head" + expected);
    EXPECT_TRUE(list.empty());
}

} // namespace
} // namespace kestrova::test
