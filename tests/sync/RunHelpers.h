// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "fs/NativeFileSystem.h"
#include "report/VisibleText.h"
#include "support/TestWindow.h"
#include "support/TreeFixture.h"
#include "sync/SyncRun.h"

#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>
#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace kestrova::test {

using Reasons = std::vector<std::tuple<std::string, EntryFailure::Step, int>>;

// Records why entries were listed as failed.
class ReasonRecorder : public TestWindow {
public:
    using TestWindow::TestWindow;
    void entryFailed(const std::string& path, const EntryFailure& failure) override {
        reasons.emplace_back(path, failure.step, failure.reason);
    }
    Reasons reasons;
};

// Runs the window's pairs to the end on the calling thread; without a stand-in, with
// helpers reading ahead of the walk, as the program runs.
inline void RunToEnd(TestWindow& window, FileSystem* fs = nullptr) {
    NativeFileSystem native;
    native.setReadHelpers(2);
    std::atomic<bool> stop{false};
    SyncRun(window, fs != nullptr ? *fs : native, stop);
}

// Runs one pair and returns the report.
inline std::string RunPair(const std::string& source, const std::string& target,
                           bool deleteOption = false, FileSystem* fs = nullptr) {
    TestWindow window({{source, target, 2, {}}}, deleteOption);
    RunToEnd(window, fs);
    return window.report();
}

// Whether `handle`, a folder open in `fs`, is the folder at `path`.
inline bool IsFolder(NativeFileSystem& fs, FolderHandle handle, const std::string& path) {
    NativeFileSystem probe;
    FolderHandle other = kNoFolder;
    FolderIdentity a, b;
    if (fs.NativeFileSystem::identify(handle, a) != 0 || probe.openRoot(path, other) != 0) {
        return false;
    }
    const bool same = probe.identify(other, b) == 0 && a == b;
    probe.closeFolder(other);
    return same;
}

// The report block expected for one pair that ran; `note` is a line about a skipped
// prune pass, `notCreated` the special files the target could not make. Paths may be
// written with "/" between names on every platform.
inline std::string Block(const std::string& source, const std::string& target,
                         const std::vector<std::string>& failed,
                         const std::vector<std::string>& updated, const std::string& note = {},
                         const std::vector<std::string>& notCreated = {}) {
    std::string block = "從 " + Native(source) + "\r\n到 " + Native(target) + "\r\n";
    if (!note.empty()) {
        block += note + "\r\n";
    }
    if (failed.empty()) {
        block += "同步過程中沒有錯誤\r\n";
    } else {
        block += "以下文件更新失敗，可能正在使用\r\n";
        for (const std::string& path : failed) {
            block += Native(path) + "\r\n";
        }
        block += "\r\n";
    }
    if (updated.empty()) {
        block += "沒有文件需要更新\r\n";
    } else {
        block += "更新了以下改動過的文件\r\n";
        for (const std::string& path : updated) {
            block += Native(path) + "\r\n";
        }
        block += "\r\n";
    }
    if (!notCreated.empty()) {
        block += "以下特殊文件無法在目標中創建，沒有複製\r\n";
        for (const std::string& path : notCreated) {
            block += Native(path) + "\r\n";
        }
        block += "\r\n";
    }
    return block + "\r\n---------------------------------\r\n\r\n";
}

#ifndef _WIN32
// Runs the shell command that makes and mounts a file-system image for a test and
// sets `mounted` when it succeeded (it fails where this process may not mount). A
// command that is not installed fails the test: its package belongs in
// tools/packages/linux.
inline void MountImage(const std::string& command, bool& mounted) {
    const int status = std::system(command.c_str());
    mounted = status == 0;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127) {
        FAIL() << "a command is not installed: " << command;
    }
}
#endif

// The report block of a skipped pair.
inline std::string SkippedBlock(const std::string& source, const std::string& target,
                                const std::string& reason) {
    return "從 " + VisibleText(source) + "\r\n到 " + VisibleText(target) + "\r\n" + reason +
           "\r\n\r\n---------------------------------\r\n\r\n";
}

} // namespace kestrova::test
