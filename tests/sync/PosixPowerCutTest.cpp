// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "RunHelpers.h"
#include "support/TestMount.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace kestrova::test {
namespace {

// The power goes just before a run makes its copies durable, after the file system's
// log has reached the disk ahead of the copies' data, as any other program's fsync on
// the volume makes it do.
class PowerCutBeforeDurable : public PosixFileSystem {
public:
    explicit PowerCutBeforeDurable(std::string point) : point_(std::move(point)) {}
    int makeDurable(FolderHandle root) override {
        const int other = ::open((point_ + "/other").c_str(), O_WRONLY | O_CREAT, 0644);
        [[maybe_unused]] const ssize_t written = ::write(other, "o", 1);
        ::fsync(other);
        ::close(other);
        std::system(("PATH=$PATH:/usr/sbin:/sbin timeout 20 xfs_io -x -c shutdown '" + point_ +
                     "' >/dev/null 2>&1")
                        .c_str());
        return PosixFileSystem::makeDurable(root);
    }

private:
    std::string point_;
};

// XFS writes a file's data long after its name and size reach the log, so a copy
// renamed over its old one before its data is on disk leaves neither after a power cut.
TEST(PowerCutTest, EveryReplacedCopyIsTheWholeOldOrNewOneAndShortNewCopiesAreMadeAgain) {
    TempFolder temp;
    const std::string src = temp.sub("src");
    const std::string point = temp.sub("mnt");
    TestMount mount(point);
    if (!mount.mount("truncate -s 300M " + temp.path() + "/image && mkfs.xfs -q -f " + temp.path() +
                     "/image && mount -o loop " + temp.path() + "/image \"$POINT\"")) {
        GTEST_SKIP() << "cannot mount an XFS image here";
    }
    const std::string dst = point + "/dst";
    ::mkdir(dst.c_str(), 0755);
    Tree old;
    Tree source;
    for (int i = 0; i < 200; ++i) {
        old["f" + std::to_string(i)] = File(std::string(4000 + i, 'o'));
        source["f" + std::to_string(i)] = File(std::string(40000 + i, 'n'), kTime + 1);
    }
    for (int i = 0; i < 50; ++i) {
        source["new" + std::to_string(i)] = File(std::string(40000, 'w'), kTime + 2);
    }
    WriteTree(dst, old);
    ::sync();
    WriteTree(src, source);

    PowerCutBeforeDurable fs(point);
    RunPair(src, dst, false, &fs);
    mount.unmount();
    ASSERT_TRUE(mount.mount("mount -o loop " + temp.path() + "/image \"$POINT\""));
    const Tree after = ReadTree(dst);
    for (const auto& [name, item] : old) {
        const auto found = after.find(name);
        ASSERT_NE(found, after.end()) << name;
        EXPECT_TRUE(found->second == item || found->second == source.at(name))
            << name << ": " << found->second.data.size() << " bytes";
    }

    // The run left its target marked, so the next one also copies files whose size
    // differs: a new copy may have been cut short under its source's time.
    RunPair(src, dst);
    EXPECT_TRUE(ReadTree(dst) == source); // not printed: 10 MB
    EXPECT_LT(::getxattr(dst.c_str(), "user.kestrova.unsettled", nullptr, 0), 0);
}

} // namespace
} // namespace kestrova::test
