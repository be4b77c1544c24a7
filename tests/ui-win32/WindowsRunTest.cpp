// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

// A sync run started from the Win32 main window: the worker reaches the window through
// posted messages, the completion box and the report, and Stop.

#include "Win32TestSupport.h"

#include "fs/WindowsFileSystem.h"
#include "sync/SyncWorker.h"
#include "ui/win32/MainDialog.h"
#include "ui/win32/SyncApp.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace kestrova::win32::test {
namespace {

// The real port, except that each file copy waits for a permit from the test (or for a
// stop) before it starts, so the test can look at the window in the middle of a run.
class GatedFileSystem : public WindowsFileSystem {
public:
    CopyOutcome copy(FolderHandle from, FolderHandle to, const char* name, EntryKind kind,
                     const std::atomic<bool>& stop) override {
        {
            std::unique_lock lock(m_mutex);
            ++m_waiting;
            // Nobody signals a stop: look at it now and then.
            while (m_permits == 0 && !stop.load()) {
                m_changed.wait_for(lock, std::chrono::milliseconds(1));
            }
            --m_waiting;
            if (m_permits > 0) {
                --m_permits;
            }
        }
        if (failCopies) {
            return CopyOutcome::Failed;
        }
        return WindowsFileSystem::copy(from, to, name, kind, stop);
    }
    void permit() {
        std::lock_guard lock(m_mutex);
        ++m_permits;
        m_changed.notify_all();
    }
    bool copyWaiting() {
        std::lock_guard lock(m_mutex);
        return m_waiting > 0;
    }

    std::atomic<bool> failCopies = false;

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_permits = 0;
    int m_waiting = 0;
};

class RunTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InitWindowClasses(); }

    RunTest() {
        std::filesystem::create_directory(folder.at("src"));
        std::filesystem::create_directory(folder.at("dst"));
        WriteFile(folder.at("src\\a.txt"), "one");
        WriteFile(folder.at("dirlist.cfg"),
                  folder.at("src") + "|" + folder.at("dst") + "\r\nC:\\unchecked|C:\\other\r\n");
        window = std::make_unique<MainDialog>(
            messages, MainWindowFiles::Same(folder.at("Kestrova.ini"), folder.at("dirlist.cfg")),
            fileSystem, MainDialogParts{});
        window->setRunFileSystem(&gate);
        hwnd = window->create(nullptr);
        window->pairList().setChecked(0, true);
    }
    ~RunTest() override {
        window.reset(); // stops a run still under way
    }

    bool Enabled(int id) { return IsWindowEnabled(GetDlgItem(hwnd, id)) != FALSE; }
    // Start, Preview and the options go together; Stop goes the other way.
    bool ControlsShow(bool idle) {
        for (int id : {MainDialog::kStartButton, MainDialog::kPreviewButton,
                       MainDialog::kDeleteOption, MainDialog::kTrashOption}) {
            if (Enabled(id) != idle) {
                return false;
            }
        }
        return Enabled(MainDialog::kStopButton) != idle;
    }
    bool Running() { return ControlsShow(false); }
    bool Idle() { return ControlsShow(true); }
    std::string Status(int row) { return window->pairList().rowText(row, 2); }

    TempFolder folder;
    PresetAnswers boxes;
    MessageBoxes messages{boxes};
    SaveFileSystem fileSystem;
    GatedFileSystem gate;
    std::unique_ptr<MainDialog> window;
    HWND hwnd = nullptr;
};

TEST_F(RunTest, StartRunsTheCheckedPairsAndEndsWithTheCompletionBox) {
    Click(hwnd, MainDialog::kStartButton);
    ASSERT_TRUE(PumpUntil([&] { return gate.copyWaiting(); }));
    PumpUntil([&] { return Running() && Status(0) == "＃"; }, std::chrono::seconds(5));
    EXPECT_TRUE(Running());
    EXPECT_EQ(Status(0), "＃");

    gate.permit();
    ASSERT_TRUE(PumpUntil([&] { return !boxes.shown.empty(); }));
    EXPECT_EQ(boxes.shown[0].text, "同步完成﹝");
    EXPECT_EQ(boxes.shown[0].caption, "Kestrova");
    EXPECT_EQ(boxes.shown[0].owner, hwnd);
    EXPECT_TRUE(Idle());
    EXPECT_EQ(Status(0), "完成");
    EXPECT_EQ(Status(1), "");
    EXPECT_EQ(ReadFile(folder.at("dst\\a.txt")), "one");
    const std::string report = window->controlText(MainDialog::kReportPane);
    EXPECT_EQ(report.rfind("從 " + folder.at("src") + "\r\n到 " + folder.at("dst") + "\r\n", 0), 0u)
        << report;
    EXPECT_NE(report.find("更新了以下改動過的文件\r\n" + folder.at("src\\a.txt") + "\r\n"),
              std::string::npos)
        << report;
    JoinSyncWorker();
}

TEST_F(RunTest, PreviewFillsTheReportAndChangesNothingOnDisk) {
    WriteFile(folder.at("dst\\old.txt"), "old");
    CheckDlgButton(hwnd, MainDialog::kDeleteOption, BST_CHECKED);
    CheckDlgButton(hwnd, MainDialog::kTrashOption, BST_CHECKED); // a preview trashes nothing
    Click(hwnd, MainDialog::kPreviewButton);
    ASSERT_TRUE(PumpUntil([&] { return !boxes.shown.empty(); }));
    EXPECT_EQ(boxes.shown[0].text, "預覽完成，沒有改動任何文件");
    EXPECT_TRUE(Idle());
    EXPECT_FALSE(std::filesystem::exists(folder.at("dst\\a.txt")));
    EXPECT_EQ(ReadFile(folder.at("dst\\old.txt")), "old");
    const std::string report = window->controlText(MainDialog::kReportPane);
    EXPECT_NE(report.find("將會更新以下文件\r\n" + folder.at("src\\a.txt") + "\r\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("將會刪除以下文件和目錄\r\n" + folder.at("dst\\old.txt") + "\r\n"),
              std::string::npos)
        << report;
    JoinSyncWorker();

    // Start after a preview is a real run again.
    Click(hwnd, MainDialog::kStartButton);
    ASSERT_TRUE(PumpUntil([&] { return gate.copyWaiting(); }));
    gate.permit();
    ASSERT_TRUE(PumpUntil([&] { return boxes.shown.size() == 2; }));
    EXPECT_EQ(ReadFile(folder.at("dst\\a.txt")), "one");
    JoinSyncWorker();
}

TEST_F(RunTest, TheReasonsForFailuresEndThePairsBlock) {
    gate.failCopies = true;
    gate.permit();
    Click(hwnd, MainDialog::kStartButton);
    ASSERT_TRUE(PumpUntil([&] { return !boxes.shown.empty(); }));
    JoinSyncWorker();
    const std::string report = window->controlText(MainDialog::kReportPane);
    const std::size_t reasons =
        report.find("以下是失敗的原因\r\ncannot copy " + folder.at("src\\a.txt") + ": ");
    ASSERT_NE(reasons, std::string::npos) << report;
    EXPECT_LT(report.find("失敗"), reasons) << report; // the failure list comes first
    EXPECT_TRUE(report.ends_with("\r\n\r\n---------------------------------\r\n\r\n")) << report;
}

TEST_F(RunTest, StopRestoresTheButtonsAtOnceAndNothingChangesAfterIt) {
    window->setReport(SpooledText("earlier report"));
    Click(hwnd, MainDialog::kStopButton); // no run: nothing happens
    EXPECT_TRUE(Idle());
    const HWND start = GetDlgItem(hwnd, MainDialog::kStartButton);
    const HWND stop = GetDlgItem(hwnd, MainDialog::kStopButton);
    SendMessageW(hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(start), TRUE);
    PressKey(hwnd, VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return gate.copyWaiting() && Running(); }));
    EXPECT_EQ(GetFocus(), stop);

    // Stop is the only message handled: it alone restores the controls, and gives the
    // focus back to Start, where Enter and Space start the next run. A run that Enter
    // did not stop ends the test here, where the window's end stops it, not in a wait.
    PressKey(hwnd, VK_RETURN);
    ASSERT_TRUE(Idle());
    EXPECT_EQ(GetFocus(), start);
    JoinSyncWorker();
    PressKey(hwnd, VK_SPACE);
    ASSERT_TRUE(PumpUntil([&] { return gate.copyWaiting() && Running(); }));
    Click(hwnd, MainDialog::kStopButton);
    EXPECT_TRUE(Idle());
    EXPECT_FALSE(SyncWorkerActive());
    JoinSyncWorker();
    PumpUntil([] { return false; }, std::chrono::milliseconds(200));
    EXPECT_TRUE(Idle());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(Status(0), "＃");
    EXPECT_EQ(window->controlText(MainDialog::kReportPane), "earlier report");

    // With the run stopped, Close saves and ends.
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(window->ended());
}

} // namespace
} // namespace kestrova::win32::test
