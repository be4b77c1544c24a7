// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "cli/SavedRun.h"
#include "cli/ScheduledRun.h"

#include "settings/SettingsTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>

namespace kestrova {
namespace {

using settings_test::ReadBytes;
using settings_test::TempFolder;
using settings_test::WriteBytes;

int RunSaved(const TempFolder& folder, const std::string& options) {
    const std::string command = "XDG_CONFIG_HOME='" + folder.file("config") + "' XDG_STATE_HOME='" +
                                folder.file("state") + "' '" + KESTROVA_SYNC_PROGRAM +
                                "' --saved " + options + " >'" + folder.file("out") + "' 2>'" +
                                folder.file("err") + "'";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The saved pairs run with the saved options; a recorded run, even one with nothing
// to run, leaves its account in the run record.
TEST(SavedCommand, RunsTheSavedPairsAndRecordsTheRun) {
    TempFolder folder;
    const std::string record = folder.file("state/kestrova/runs.log");
    EXPECT_EQ(RunSaved(folder, "--record"), 2);
    EXPECT_NE(ReadBytes(folder.file("err")).find("config/kestrova/dirlist.cfg"), std::string::npos);
    std::vector<std::string> details;
    std::optional<RecordedRun> recorded = ReadLastRecordedRun(record, &details);
    ASSERT_TRUE(recorded.has_value());
    EXPECT_EQ(recorded->exitStatus, 2);
    ASSERT_EQ(details.size(), 1u);
    EXPECT_NE(details[0].find("failure no saved pair list"), std::string::npos);

    std::filesystem::create_directories(folder.file("config/kestrova"));
    std::filesystem::create_directories(folder.file("src"));
    std::filesystem::create_directories(folder.file("dst"));
    WriteBytes(folder.file("src/new.txt"), "new");
    WriteBytes(folder.file("dst/gone.txt"), "gone");
    WriteBytes(folder.file("config/kestrova/dirlist.cfg"),
               folder.file("src") + "|" + folder.file("dst") + "\r\n");
    WriteBytes(folder.file("config/kestrova/Kestrova.ini"), "[setup]\r\nopt_delnone=1\r\n");

    EXPECT_EQ(RunSaved(folder, "--no-delete"), 0);
    EXPECT_EQ(ReadBytes(folder.file("dst/new.txt")), "new");
    EXPECT_TRUE(std::filesystem::exists(folder.file("dst/gone.txt")));

    WriteBytes(folder.file("src/more.txt"), "more");
    EXPECT_EQ(RunSaved(folder, "--record"), 0);
    EXPECT_FALSE(std::filesystem::exists(folder.file("dst/gone.txt")));
    details.clear();
    recorded = ReadLastRecordedRun(record, &details);
    ASSERT_TRUE(recorded.has_value());
    EXPECT_EQ(recorded->exitStatus, 0);
    EXPECT_EQ(recorded->counts.copied, 1u);
    EXPECT_EQ(details,
              std::vector<std::string>{"done " + folder.file("src") + " -> " + folder.file("dst") +
                                       ": examined 2, copied 1, failed 0"});

    // A pair skipped for its missing source says why; so does the notice of the failure.
    WriteBytes(folder.file("config/kestrova/dirlist.cfg"),
               folder.file("gone") + "|" + folder.file("dst") + "\r\n");
    EXPECT_EQ(RunSaved(folder, "--record"), 1);
    details.clear();
    recorded = ReadLastRecordedRun(record, &details);
    ASSERT_EQ(details.size(), 1u);
    EXPECT_TRUE(details[0].starts_with("skipped " + folder.file("gone"))) << details[0];
    EXPECT_TRUE(details[0].ends_with(": 源目錄不存在或無法讀取，已跳過")) << details[0];
    const FailureNotice notice = NoticeOfFailure(recorded, details, recorded->invocation, "");
    EXPECT_NE(notice.body.find("skipped " + folder.file("gone")), std::string::npos);
    // A run that ended without its record (killed, say) is not told as the older one.
    const FailureNotice unrecorded = NoticeOfFailure(recorded, details, "other <id>", "signal");
    EXPECT_EQ(unrecorded.body.find("skipped"), std::string::npos);
    EXPECT_NE(unrecorded.body.find("(signal)"), std::string::npos);
    // The service reads markup: a name is not.
    EXPECT_TRUE(NoticeOfFailure(recorded, {"failure cannot copy /a<b>&"}, "", "")
                    .body.ends_with("\nfailure cannot copy /a&lt;b&gt;&amp;"));
}

} // namespace
} // namespace kestrova
