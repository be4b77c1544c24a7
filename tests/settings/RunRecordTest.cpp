// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "settings/RunRecord.h"

#include "settings/SettingsTestSupport.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

using settings_test::ReadBytes;
using settings_test::TempFolder;
using settings_test::WriteBytes;

RecordedRun Sample(const std::string& time, int exitStatus) {
    RecordedRun run;
    run.time = time;
    run.exitStatus = exitStatus;
    run.counts = {12, 3, 1};
    run.skipped = 1;
    run.invocation = "abc";
    run.pairs = {{"/s1", "/t1", RecordedPair::Outcome::Done, {10, 3, 1}, ""},
                 {"/s2", "/t2", RecordedPair::Outcome::Skipped, {}, "no source"}};
    // A name with a line break cannot start a line of its own.
    run.failures = {"cannot copy /s1/a\nrun x: Permission denied"};
    run.failuresNotListed = 4;
    return run;
}

TEST(RunRecord, EachRunIsOneBlockAndTheOldestGoFirst) {
    EXPECT_EQ(FormatRecordedRun(Sample("2026-12-08T02:00:13+0100", 1)),
              "run 2026-12-08T02:00:13+0100 exit 1 pairs 2 examined 12 copied 3 failed 1 "
              "skipped 1 invocation abc\n"
              "  done /s1 -> /t1: examined 10, copied 3, failed 1\n"
              "  skipped /s2 -> /t2: no source\n"
              "  failure cannot copy /s1/a run x: Permission denied\n"
              "  more 4 failures\n");

    TempFolder folder;
    const std::string file = folder.file("state/kestrova/runs.log");
    SaveFileSystem fs;
    const std::size_t block = FormatRecordedRun(Sample("T1", 0)).size();
    for (const char* time : {"T1", "T2", "T3"}) {
        ASSERT_TRUE(AppendRecordedRun(file, Sample(time, 0), fs, 2 * block + 1).ok());
    }
    // Bounded: the oldest run went, the newest is last.
    const std::string text = ReadBytes(file);
    EXPECT_EQ(text, FormatRecordedRun(Sample("T2", 0)) + FormatRecordedRun(Sample("T3", 0)));

    std::vector<std::string> details;
    ASSERT_TRUE(AppendRecordedRun(file, Sample("T4", 130), fs).ok());
    const std::optional<RecordedRun> last = ReadLastRecordedRun(file, &details);
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->time, "T4");
    EXPECT_EQ(last->exitStatus, 130);
    EXPECT_EQ(last->counts.examined, 12u);
    EXPECT_EQ(last->counts.failed, 1u);
    EXPECT_EQ(last->skipped, 1u);
    EXPECT_EQ(last->invocation, "abc");
    ASSERT_EQ(details.size(), 4u);
    EXPECT_EQ(details[1], "skipped /s2 -> /t2: no source");

    // No record, or nothing in it that is a run.
    EXPECT_FALSE(ReadLastRecordedRun(folder.file("none")).has_value());
    WriteBytes(file, "not a record\n");
    EXPECT_FALSE(ReadLastRecordedRun(file).has_value());
    ASSERT_TRUE(AppendRecordedRun(file, Sample("T5", 0), fs).ok());
    EXPECT_EQ(ReadBytes(file), FormatRecordedRun(Sample("T5", 0)));
}

} // namespace
} // namespace kestrova
