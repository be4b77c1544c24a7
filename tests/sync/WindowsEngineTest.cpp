// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

// The engine on the Windows port: what only Windows has. Trees are made with the
// wide-character API, so that the checks do not go through the port under test.

#include "RunHelpers.h"
#include "fs/WindowsFileSystem.h"
#include "i18n/WideText.h"
#include "report/EntryFailure.h"
#include "report/SyncStats.h"
#include "report/SyncTexts.h"
#include "support/WineUnixSide.h"
#include "sync/PairCheck.h"
#include "sync/SyncRun.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

namespace kestrova {
namespace {

using test::MakeLink;
using test::Reasons;
using test::RunUnixCommand;
using test::ShellWord;
using test::TestWindow;
using test::UnderWine;
using test::UnixPath;
using windows::LongPath;
using windows::Wide;

constexpr std::int64_t kTicks = 132'000'000'000'000'123; // a last-write time, 100 ns units

class Folder {
public:
    Folder() {
        const std::string base = std::filesystem::temp_directory_path().string();
        for (unsigned n = std::random_device()();; ++n) {
            path_ = base + (base.back() == '\\' ? "" : "\\") + "kestrova-" + std::to_string(n);
            if (::CreateDirectoryW(LongPath(path_).c_str(), nullptr)) {
                break;
            }
        }
    }
    ~Folder() {
        // Junctions are removed as links; remove_all would not enter them either.
        for (const auto& entry : std::filesystem::recursive_directory_iterator(
                 LongPath(path_), std::filesystem::directory_options::none)) {
            ::SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        }
        std::error_code ignored;
        std::filesystem::remove_all(LongPath(path_), ignored);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    std::string at(const std::string& relative) const { return path_ + "\\" + relative; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

void MakeFolder(const std::string& path) {
    ::CreateDirectoryW(LongPath(path).c_str(), nullptr);
}

void WriteFile(const std::string& path, const std::string& data, std::int64_t ticks = kTicks,
               DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    const std::wstring wide = LongPath(path);
    ::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    const HANDLE file = ::CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    ::WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    ::SetFileTime(file, nullptr, nullptr, &time);
    ::CloseHandle(file);
    ::SetFileAttributesW(wide.c_str(), attributes);
}

void SetFolderTicks(const std::string& path, std::int64_t ticks) {
    const HANDLE folder =
        ::CreateFileW(LongPath(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(folder, INVALID_HANDLE_VALUE) << path;
    FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    ::SetFileTime(folder, nullptr, nullptr, &time);
    ::CloseHandle(folder);
}

std::string ReadFile(const std::string& path) {
    const HANDLE file = ::CreateFileW(LongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return "<missing>";
    }
    std::string data(1 << 16, '\0');
    DWORD got = 0;
    ::ReadFile(file, data.data(), static_cast<DWORD>(data.size()), &got, nullptr);
    ::CloseHandle(file);
    data.resize(got);
    return data;
}

std::int64_t TicksOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExW(LongPath(path).c_str(), GetFileExInfoStandard, &data);
    return static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
        data.ftLastWriteTime.dwLowDateTime);
}

DWORD AttributesOf(const std::string& path) {
    return ::GetFileAttributesW(LongPath(path).c_str());
}

// Names in a folder exactly as stored, sorted.
std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(LongPath(folder))) {
        names.push_back(windows::Utf8(entry.path().filename().wstring()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The drive Q: for a test of drive roots: the empty drive the Wine prefix of the
// tests provides, or on Windows a drive made to stand for `folder`.
bool MakeDrive(const std::string& folder) {
    if (::GetFileAttributesW(L"Q:\\") != INVALID_FILE_ATTRIBUTES) {
        WIN32_FIND_DATAW found;
        const HANDLE search = ::FindFirstFileW(L"Q:\\*", &found);
        if (search != INVALID_HANDLE_VALUE) {
            ::FindClose(search);
        }
        return search == INVALID_HANDLE_VALUE; // a drive's root has no "." and ".."
    }
    return ::DefineDosDeviceW(0, L"Q:", Wide(folder).c_str());
}

// Wine's drive stays (its removal "succeeds" without effect), so it is emptied first.
void RemoveDrive(const std::string& folder) {
    ::DeleteFileW(L"Q:\\top.txt");
    ::DefineDosDeviceW(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, L"Q:",
                       Wide(folder).c_str());
}

struct Outcome {
    std::string report;
    Reasons reasons; // why entries were listed as failed
};

Outcome RunRecorded(const std::string& source, const std::string& target, bool deleteOption,
                    bool trash = false) {
    test::ReasonRecorder window({{source, target, 2, {}}}, deleteOption);
    RunOptions options;
    options.trash = trash;
    window.setRunOptions(options);
    WindowsFileSystem fs;
    std::atomic<bool> stop{false};
    SyncRun(window, fs, stop);
    return {window.report(), window.reasons};
}

std::string RunPair(const std::string& source, const std::string& target, bool deleteOption,
                    bool trash = false) {
    return RunRecorded(source, target, deleteOption, trash).report;
}

std::string Block(const std::string& source, const std::string& target, const std::string& failed,
                  const std::string& updated) {
    return "從 " + source + "\r\n到 " + target + "\r\n" +
           (failed.empty() ? "同步過程中沒有錯誤\r\n"
                           : "以下文件更新失敗，可能正在使用\r\n" + failed + "\r\n") +
           (updated.empty() ? "沒有文件需要更新\r\n"
                            : "更新了以下改動過的文件\r\n" + updated + "\r\n") +
           "\r\n---------------------------------\r\n\r\n";
}

// Names match without regard to case in both passes; read-only is the attribute;
// times and attributes carry over to the 100 ns, folder times too.
TEST(WindowsEngine, CaseInsensitiveCounterpartsReadOnlyAndTimes) {
    Folder root;
    const std::string source = root.at("src");
    const std::string target = root.at("dst");
    MakeFolder(source);
    MakeFolder(target);
    MakeFolder(source + "\\Sub");
    WriteFile(source + "\\a.txt", "new a");
    WriteFile(source + "\\Sub\\b.txt", "b");
    WriteFile(source + "\\Keep.txt", "keep", kTicks);
    WriteFile(source + "\\RO.txt", "read-only", kTicks + 7, FILE_ATTRIBUTE_READONLY);
    WriteFile(source + "\\Locked.txt", "newer", kTicks + 1);
    WriteFile(target + "\\A.TXT", "old a", kTicks - 10'000'000);
    MakeFolder(target + "\\sub");
    WriteFile(target + "\\KEEP.TXT", "keep", kTicks);
    WriteFile(target + "\\Locked.txt", "older", kTicks, FILE_ATTRIBUTE_READONLY);
    WriteFile(target + "\\extra.txt", "gone");
    MakeFolder(target + "\\Old");
    WriteFile(target + "\\Old\\x.txt", "gone");
    SetFolderTicks(source + "\\Sub", kTicks + 3);
    SetFolderTicks(source, kTicks + 4);

    const std::string s = source + "\\";
    EXPECT_EQ(RunPair(source, target, true),
              Block(source, target, s + "Locked.txt\r\n",
                    s + "a.txt\r\n" + s + "RO.txt\r\n" + s + "Sub\\b.txt\r\n"));
    // One entry per name whatever its case; which case a replaced copy keeps is the
    // file system's choice.
    std::vector<std::string> names = Names(target);
    for (std::string& name : names) {
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names,
              (std::vector<std::string>{"a.txt", "keep.txt", "locked.txt", "ro.txt", "sub"}));
    EXPECT_EQ(ReadFile(target + "\\a.txt"), "new a");
    EXPECT_EQ(ReadFile(target + "\\sub\\b.txt"), "b");
    EXPECT_EQ(ReadFile(target + "\\Locked.txt"), "older");
    EXPECT_EQ(TicksOf(target + "\\RO.txt"), kTicks + 7);
    EXPECT_EQ(TicksOf(target + "\\sub"), kTicks + 3);
    EXPECT_EQ(TicksOf(target), kTicks + 4);
    EXPECT_NE(AttributesOf(target + "\\RO.txt") & FILE_ATTRIBUTE_READONLY, 0u);

    // The second run finds everything in place but the read-only copy it must not replace.
    EXPECT_EQ(RunPair(source, target, true), Block(source, target, s + "Locked.txt\r\n", ""));
}

// A drive root maps inside the target; nesting is judged on final paths, without
// regard to case; roots that are not full paths are refused.
TEST(WindowsEngine, DriveRootsAndNestedOrRelativeRoots) {
    Folder root;
    MakeFolder(root.at("drive"));
    MakeFolder(root.at("backup"));
    ASSERT_TRUE(MakeDrive(root.at("drive")));
    WriteFile("Q:\\top.txt", "top");
    EXPECT_EQ(RunPair("Q:\\", root.at("backup"), false),
              Block("Q:\\", root.at("backup"), "", "Q:\\top.txt\r\n"));
    EXPECT_EQ(ReadFile(root.at("backup\\top.txt")), "top");
    // A target at a drive's root holds that drive's Recycle Bin: the trash leaves it whole.
    const std::string recycled = "Q:\\$Recycle.Bin\\S-1-5-21\\$R0AB12C.txt";
    MakeFolder("Q:\\$Recycle.Bin");
    MakeFolder("Q:\\$Recycle.Bin\\S-1-5-21");
    WriteFile(recycled, "recycled earlier");
    RunPair(root.at("backup"), "Q:\\", true, true);
    EXPECT_EQ(ReadFile(recycled), "recycled earlier");
    ::DeleteFileW(Wide(recycled).c_str());
    ::RemoveDirectoryW(L"Q:\\$Recycle.Bin\\S-1-5-21");
    ::RemoveDirectoryW(L"Q:\\$Recycle.Bin");
    RemoveDrive(root.at("drive"));

    EXPECT_TRUE(SameOrNested("C:\\Data\\Src", "c:\\data\\src\\Backup"));
    EXPECT_TRUE(SameOrNested("C:\\", "c:\\x"));
    EXPECT_FALSE(SameOrNested("C:\\Data\\Src", "C:\\Data\\Src2"));
    EXPECT_FALSE(SameOrNested("C:\\x", "D:\\x"));
    EXPECT_TRUE(SameOrInside("c:\\data\\src\\x", "C:\\Data\\Src"));
    EXPECT_FALSE(SameOrInside("C:\\Data", "C:\\Data\\Src"));
    EXPECT_EQ(FullPathForm("c:/a//b\\.\\c\\..\\"), "c:\\a\\b");
    EXPECT_EQ(FullPathForm("C:\\.."), "C:\\");

    WindowsFileSystem fs;
    PairRoots roots;
    const std::string upper = root.at("drive");
    std::string lower = upper;
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    EXPECT_EQ(CheckPair(fs, upper, lower + "\\Inner", roots), PairProblem::SameOrNested);
    for (const char* relative : {"", "drive", "C:drive", "\\drive"}) {
        EXPECT_EQ(CheckPair(fs, relative, root.at("backup"), roots), PairProblem::NotAbsolute)
            << relative;
    }

    // A target's lock is found through any spelling of its path and ends with its open.
    FolderHandle first = kNoFolder;
    FolderHandle second = kNoFolder;
    ASSERT_EQ(fs.openRoot(upper, first), 0);
    ASSERT_EQ(fs.openRoot(lower, second), 0);
    EXPECT_EQ(fs.lockFolder(first), 0);
    EXPECT_EQ(fs.lockFolder(second), EWOULDBLOCK);
    fs.closeFolder(first);
    EXPECT_EQ(fs.lockFolder(second), 0);
    fs.closeFolder(second);
}

// Paths beyond 260 characters are walked, copied and pruned.
TEST(WindowsEngine, LongPaths) {
    Folder root;
    const std::string name(60, 'n');
    std::string source = root.at("src");
    std::string target = root.at("dst");
    MakeFolder(source);
    MakeFolder(target);
    std::string deep = source;
    for (int level = 0; level < 6; ++level) {
        deep += "\\" + name;
        MakeFolder(deep);
    }
    ASSERT_GT(deep.size(), 300u);
    WriteFile(deep + "\\file.txt", "deep");
    MakeFolder(target + "\\gone");
    std::string gone = target + "\\gone";
    for (int level = 0; level < 6; ++level) {
        gone += "\\" + name;
        MakeFolder(gone);
    }
    WriteFile(gone + "\\old.txt", "old");

    EXPECT_EQ(RunPair(source, target, true), Block(source, target, "", deep + "\\file.txt\r\n"));
    EXPECT_EQ(ReadFile(target + deep.substr(source.size()) + "\\file.txt"), "deep");
    EXPECT_EQ(Names(target), std::vector<std::string>{name});
}

// With the trash, what the Recycle Bin cannot take stays in place and is listed with
// that reason: paths that only the "\\?\" form reaches; a Recycle Bin inside the target
// stays whole. Nothing here reaches the bin itself (see the command's tests for that).
TEST(WindowsEngine, TrashKeepsWhatTheRecycleBinCannotTake) {
    Folder root;
    const std::string name(60, 'n');
    std::string source = root.at("src");
    std::string target = root.at("dst");
    MakeFolder(source);
    MakeFolder(target);
    for (int level = 0; level < 5; ++level) {
        source += "\\" + name;
        target += "\\" + name;
        MakeFolder(source);
        MakeFolder(target);
    }
    ASSERT_GT(target.size(), std::size_t{MAX_PATH});
    WriteFile(source + "\\replaced.txt", "new", kTicks + 1);
    WriteFile(target + "\\replaced.txt", "old");
    WriteFile(target + "\\gone.txt", "gone");
    // The shell would take "dot." for "dot".
    WriteFile(root.at("dst\\dot."), "reached through the long form only");
    WriteFile(root.at("src\\dot"), "same");
    WriteFile(root.at("dst\\dot"), "same");
    const Outcome run = RunRecorded(root.at("src"), root.at("dst"), true, true);
    EXPECT_NE(run.report.find(texts::kFailedHeading + source + "\\replaced.txt\r\n"),
              std::string::npos)
        << run.report;
    // The drive has a bin; these paths are what it cannot take.
    EXPECT_EQ(run.report.find(texts::kNoTrash), std::string::npos) << run.report;
    Reasons reasons{{source + "\\replaced.txt", EntryFailure::Step::Copy, kReasonNotForRecycleBin},
                    {target + "\\gone.txt", EntryFailure::Step::Prune, kReasonNotForRecycleBin},
                    {root.at("dst\\dot."), EntryFailure::Step::Prune, kReasonNotForRecycleBin}};
    Reasons found = run.reasons;
    std::sort(reasons.begin(), reasons.end());
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, reasons) << run.report;
    EXPECT_EQ(ReadFile(target + "\\replaced.txt"), "old");
    EXPECT_EQ(ReadFile(target + "\\gone.txt"), "gone");
    EXPECT_EQ(ReadFile(root.at("dst\\dot.")), "reached through the long form only");
    EXPECT_EQ(ReadFile(root.at("dst\\dot")), "same");

    // A copy that fails leaves the old file as it was, and nothing beside it.
    struct FailingCopy : WindowsFileSystem {
        CopyOutcome copy(FolderHandle, FolderHandle, const char*, EntryKind,
                         const std::atomic<bool>&) override {
            errno = EIO;
            return CopyOutcome::Failed;
        }
    } failing;
    MakeFolder(root.at("one"));
    MakeFolder(root.at("two"));
    WriteFile(root.at("one\\a.txt"), "new", kTicks + 1);
    WriteFile(root.at("two\\a.txt"), "old");
    TestWindow window({{root.at("one"), root.at("two"), 2, {}}}, true);
    RunOptions options;
    options.trash = true;
    window.setRunOptions(options);
    std::atomic<bool> stop{false};
    SyncRun(window, failing, stop);
    EXPECT_EQ(Names(root.at("two")), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(ReadFile(root.at("two\\a.txt")), "old");
}

// Removes the links it names when it goes: on the Linux side under Wine, which would
// otherwise remove what they point to; on Windows the links themselves.
struct LinksRemoved {
    std::vector<std::string> paths;
    LinksRemoved(std::initializer_list<std::string> names) : paths(names) {}
    ~LinksRemoved() {
        for (const std::string& path : paths) {
            if (UnderWine()) {
                RunUnixCommand("rm -f " + ShellWord(UnixPath(path)));
            } else if (!::RemoveDirectoryW(LongPath(path).c_str())) {
                ::DeleteFileW(LongPath(path).c_str());
            }
        }
    }
    LinksRemoved(const LinksRemoved&) = delete;
    LinksRemoved& operator=(const LinksRemoved&) = delete;
};

// Links, whatever their kind, are never entered by the copy nor deleted through by
// the prune or by the sweep of old temporaries; a link the port cannot remove by
// itself (a Unix link under Wine) is listed as left in place.
TEST(WindowsEngine, LinksAreNeverEnteredNorDeletedThrough) {
    Folder root;
    const std::string source = root.at("src");
    const std::string target = root.at("dst");
    MakeFolder(source);
    MakeFolder(source + "\\sub");
    MakeFolder(target);
    MakeFolder(root.at("empty"));
    WriteFile(source + "\\sub\\p.txt", "precious");
    WriteFile(source + "\\new.txt", "new"); // a copy into the target root sweeps it
    WriteFile(root.at("kept.txt"), "kept");
    const std::vector<std::string> links{target + "\\evil", target + "\\void",
                                         target + "\\file.txt"};
    // The links go before the folder is removed, which would walk into them.
    const LinksRemoved removed{links[0],
                               links[1],
                               links[2],
                               target + "\\.kestrova-5-5.part",
                               source + "\\sub\\loop",
                               target + "\\sub\\loop"};
    if (!MakeLink(links[0], source + "\\sub", true) ||
        !MakeLink(links[1], root.at("empty"), true) ||
        !MakeLink(links[2], source + "\\sub\\p.txt", false) ||
        !MakeLink(target + "\\.kestrova-5-5.part", root.at("kept.txt"), false) ||
        !MakeLink(source + "\\sub\\loop", source, true)) {
        GTEST_SKIP() << "links cannot be made here";
    }
    const Outcome run = RunRecorded(source, target, true);
    EXPECT_EQ(ReadFile(source + "\\sub\\p.txt"), "precious");
    EXPECT_EQ(ReadFile(root.at("kept.txt")), "kept");
    EXPECT_NE(AttributesOf(root.at("empty")), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadFile(target + "\\sub\\p.txt"), "precious");
    // The loop in the source was not walked: at most the link itself was copied.
    EXPECT_EQ(AttributesOf(target + "\\sub\\loop\\sub"), INVALID_FILE_ATTRIBUTES);
    for (const std::string& link : links) {
        // Windows removes the link itself; Wine would remove what it points to.
        if (UnderWine()) {
            EXPECT_NE(std::find(run.reasons.begin(), run.reasons.end(),
                                std::tuple(link, EntryFailure::Step::Prune, kReasonLinkKept)),
                      run.reasons.end())
                << link << "\n"
                << run.report;
        } else {
            EXPECT_EQ(AttributesOf(link), INVALID_FILE_ATTRIBUTES) << link;
        }
    }
    if (UnderWine()) {
        EXPECT_NE(std::find(run.reasons.begin(), run.reasons.end(),
                            std::tuple(source + "\\sub\\loop", EntryFailure::Step::Copy,
                                       kReasonLinkNotCopied)),
                  run.reasons.end())
            << run.report;
        // Nor does the Recycle Bin take what a link shown as a file points to. (Wine's
        // bin is the freedesktop trash of XDG_DATA_HOME: the test's own here.)
        MakeFolder(root.at("data"));
        ::SetEnvironmentVariableW(L"XDG_DATA_HOME", Wide(UnixPath(root.at("data"))).c_str());
        const Outcome trashed = RunRecorded(source, target, true, true);
        ::SetEnvironmentVariableW(L"XDG_DATA_HOME", nullptr);
        EXPECT_EQ(ReadFile(source + "\\sub\\p.txt"), "precious");
        EXPECT_NE(std::find(trashed.reasons.begin(), trashed.reasons.end(),
                            std::tuple(links[2], EntryFailure::Step::Prune, kReasonLinkKept)),
                  trashed.reasons.end())
            << trashed.report;
    }
}

// Names Windows keeps for devices are never made in the target, nor do they count
// as a failed write that would hold back the deletions. Temporaries that no live
// run holds open are removed by the next copy into their folder, and a name still
// taken is passed over. A failed copy says the system's reason.
TEST(WindowsEngine, DeviceNamesOldTemporariesAndFailureReasons) {
    Folder root;
    const std::string source = root.at("src");
    const std::string target = root.at("dst");
    MakeFolder(source);
    MakeFolder(target);
    for (const char* name : {"aux.txt", "Con", "lpt9.log", "COM1", "prn .txt", "com10.txt",
                             "console.txt", "auxiliary", "lpt.txt", "busy.txt"}) {
        WriteFile(source + "\\" + name, name, kTicks + 1);
    }
    MakeFolder(source + "\\nul");
    WriteFile(source + "\\nul\\in.txt", "in");
    MakeFolder(source + "\\deep");
    WriteFile(source + "\\deep\\d.txt", "d");
    MakeFolder(target + "\\deep");
    WriteFile(target + "\\.kestrova-32-1.part", "left by a killed run", kTicks,
              FILE_ATTRIBUTE_READONLY);
    WriteFile(target + "\\deep\\.kestrova-7-3.part", "left by a killed run");
    WriteFile(target + "\\busy.txt", "old");
    WriteFile(target + "\\gone.txt", "gone");
    // Names this very process would take first, held as a live run holds them.
    const std::string pid = std::to_string(::GetCurrentProcessId());
    std::vector<std::string> live;
    std::vector<HANDLE> held;
    for (const char* n : {"-1.part", "-2.part"}) {
        live.push_back(".kestrova-" + pid + n);
        held.push_back(::CreateFileW(LongPath(target + "\\" + live.back()).c_str(), GENERIC_WRITE,
                                     0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    held.push_back(::CreateFileW(LongPath(target + "\\busy.txt").c_str(), GENERIC_READ, 0, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    const Outcome run = RunRecorded(source, target, true);
    for (const HANDLE handle : held) {
        ASSERT_NE(handle, INVALID_HANDLE_VALUE);
        ::CloseHandle(handle);
    }
    std::vector<std::string> expected = live;
    expected.insert(expected.end(),
                    {"auxiliary", "busy.txt", "com10.txt", "console.txt", "deep", "lpt.txt"});
    EXPECT_EQ(Names(target), expected) << run.report;
    EXPECT_EQ(Names(target + "\\deep"), std::vector<std::string>{"d.txt"});
    EXPECT_EQ(ReadFile(target + "\\console.txt"), "console.txt");
    Reasons reasons;
    for (const char* name : {"aux.txt", "Con", "lpt9.log", "COM1", "prn .txt"}) {
        reasons.emplace_back(source + "\\" + name, EntryFailure::Step::Copy,
                             kReasonNameNotStorable);
    }
    reasons.emplace_back(source + "\\nul", EntryFailure::Step::CreateFolder,
                         kReasonNameNotStorable);
    Reasons found = run.reasons;
    const auto busy = std::find_if(found.begin(), found.end(), [&source](const auto& reason) {
        return std::get<0>(reason) == source + "\\busy.txt";
    });
    ASSERT_NE(busy, found.end()) << run.report;
    EXPECT_EQ(std::get<1>(*busy), EntryFailure::Step::Copy);
    EXPECT_NE(std::get<2>(*busy), 0); // the system's reason, whichever it gives
    found.erase(busy);
    std::sort(reasons.begin(), reasons.end());
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, reasons) << run.report;
}

// USB drives under Wine: FAT and exFAT images mounted through their FUSE drivers
// where the test may mount (as root in CI). Wine gives both the type "NTFS" and
// cannot set attributes on the FAT drive: copies land all the same, and times are
// compared to the step the drive keeps, found by trying it, so that a second run
// on exFAT copies nothing. (The FAT driver shows a fresh copy's time as the present
// for a while under Wine, so a second run there is not compared.)
TEST(WindowsEngine, UsbDrivesTakeCopiesAndKeepTheirTimeStep) {
    if (!UnderWine()) {
        GTEST_SKIP() << "drives are mounted from Wine's Linux side only";
    }
    Folder root;
    const std::string source = root.at("src");
    MakeFolder(source);
    MakeFolder(source + "\\d");
    WriteFile(source + "\\a.txt", "a", kTicks + 5'000'000);
    WriteFile(source + "\\d\\b.txt", "b", kTicks + 12'500'000);
    const std::string updated = source + "\\a.txt\r\n" + source + "\\d\\b.txt\r\n";
    struct Drive {
        const char* name;
        const char* mount; // makes and mounts $IMAGE on $POINT
        bool secondRunCompared;
    };
    const Drive drives[] = {
        {"fat", "mkfs.vfat -F 32 \"$IMAGE\" && timeout 20 fusefat -o rw+ \"$IMAGE\" \"$POINT\"",
         false},
        {"exfat",
         "mkfs.exfat \"$IMAGE\" && LOOP=$(losetup -f --show \"$IMAGE\") && "
         "{ timeout 20 mount.exfat-fuse \"$LOOP\" \"$POINT\"; s=$?; losetup -d \"$LOOP\"; exit $s; "
         "}",
         true}};
    int mounted = 0;
    for (const Drive& drive : drives) {
        const std::string target = root.at(drive.name);
        MakeFolder(target);
        const std::string variables = "IMAGE=" + ShellWord(UnixPath(target) + ".img") +
                                      " POINT=" + ShellWord(UnixPath(target)) +
                                      "; export IMAGE POINT; ";
        if (RunUnixCommand(variables + "truncate -s 64M \"$IMAGE\" && " + drive.mount) != 0) {
            continue;
        }
        ++mounted;
        EXPECT_EQ(RunPair(source, target, true), Block(source, target, "", updated)) << drive.name;
        if (drive.secondRunCompared) {
            EXPECT_EQ(RunPair(source, target, true), Block(source, target, "", "")) << drive.name;
        }
        RunUnixCommand(variables +
                       "timeout 20 umount \"$POINT\" || timeout 20 umount -l \"$POINT\"");
    }
    if (mounted == 0) {
        GTEST_SKIP() << "cannot mount drives here";
    }
}

// A large file's copy tells how far it is; a stop in the middle ends it at once,
// removes the partial file and keeps the old copy.
TEST(WindowsEngine, StopInTheMiddleOfALargeFile) {
    Folder root;
    MakeFolder(root.at("src"));
    MakeFolder(root.at("dst"));
    const HANDLE big = ::CreateFileW(Wide(root.at("src\\big.bin")).c_str(), GENERIC_WRITE, 0,
                                     nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    LARGE_INTEGER size;
    size.QuadPart = std::int64_t{1} << 30;
    ASSERT_TRUE(::SetFilePointerEx(big, size, nullptr, FILE_BEGIN) && ::SetEndOfFile(big));
    ::CloseHandle(big);
    WriteFile(root.at("dst\\big.bin"), "old copy", kTicks - 1);

    WindowsFileSystem fs;
    FolderHandle from = kNoFolder;
    FolderHandle to = kNoFolder;
    ASSERT_EQ(fs.openRoot(root.at("src"), from), 0);
    ASSERT_EQ(fs.openRoot(root.at("dst"), to), 0);
    std::atomic<bool> stop{false};
    std::atomic<CopyOutcome> outcome{CopyOutcome::Copied};
    std::atomic<bool> finished{false};
    std::thread copier([&] {
        g_syncStats.copies.beginCopy(0, root.at("src\\big.bin"));
        outcome = fs.copy(from, to, "big.bin", EntryKind::File, stop);
        g_syncStats.copies.endCopy(0);
        finished = true;
    });
    // Stops once the copy has told how far it is, of the whole file's size.
    CopyProgress::Copy shown;
    while (!finished && !(g_syncStats.copies.longest(shown) && shown.bytesDone > 0)) {
        std::this_thread::yield();
    }
    EXPECT_EQ(shown.bytesTotal, std::uint64_t{1} << 30);
    EXPECT_LT(shown.bytesDone, shown.bytesTotal);
    const auto asked = std::chrono::steady_clock::now();
    stop = true;
    copier.join();
    const auto took = std::chrono::steady_clock::now() - asked;
    fs.closeFolder(from);
    fs.closeFolder(to);
    ASSERT_EQ(outcome, CopyOutcome::Stopped) << "copied before the stop";
    EXPECT_LT(took, std::chrono::milliseconds(500));
    EXPECT_EQ(Names(root.at("dst")), std::vector<std::string>{"big.bin"});
    EXPECT_EQ(ReadFile(root.at("dst\\big.bin")), "old copy");
}

} // namespace
} // namespace kestrova
