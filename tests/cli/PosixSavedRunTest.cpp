#include "cli/SavedRun.h"

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
    const std::string command = "XDG_CONFIG_HOME='" + folder.file("config") + "' '" +
                                KESTROVA_SYNC_PROGRAM + "' --saved " + options + " >'" +
                                folder.file("out") + "' 2>'" + folder.file("err") + "'";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SavedCommand, RunsTheSavedPairs) {
    TempFolder folder;
    EXPECT_EQ(RunSaved(folder, ""), 2);
    EXPECT_NE(ReadBytes(folder.file("err")).find("config/kestrova/dirlist.cfg"), std::string::npos);

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

    EXPECT_EQ(RunSaved(folder, ""), 0);
    EXPECT_FALSE(std::filesystem::exists(folder.file("dst/gone.txt")));
}

} // namespace
} // namespace kestrova
