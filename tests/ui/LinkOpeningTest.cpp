// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/LinkOpening.h"
#include "ui/qt/DesktopLinkOpener.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace kestrova {
namespace {

TEST(CutAtPlaceholder, EndsAtTheFirstFieldCodeAndDropsWhatFollows) {
    // Quoted placeholder with arguments after it: quote, code and arguments go.
    EXPECT_EQ(cutAtPlaceholder(R"(browser "%u" --new-window)"), "browser ");
    EXPECT_EQ(cutAtPlaceholder("browser --new-window %U --private"), "browser --new-window ");
    EXPECT_EQ(cutAtPlaceholder("browser"), "browser");
    EXPECT_EQ(cutAtPlaceholder(""), "");
    // A quoted code anywhere wins over an earlier bare one.
    EXPECT_EQ(cutAtPlaceholder(R"(app %f "%u")"), "app %f ");
    // "%%" is a literal percent, not the start of a code; unknown letters are no code.
    EXPECT_EQ(cutAtPlaceholder("app --ratio=50%%u %u"), "app --ratio=50%%u ");
    EXPECT_EQ(cutAtPlaceholder("app %z %"), "app %z %");
    // Multi-byte text before the code is kept whole.
    EXPECT_EQ(cutAtPlaceholder("瀏覽器 %u"), "瀏覽器 ");
}

TEST(SplitCommandLine, FollowsTheQuotingOfHandlerCommands) {
    using Args = std::vector<std::string>;
    EXPECT_EQ(splitCommandLine("browser  --new-window "), (Args{"browser", "--new-window"}));
    EXPECT_EQ(splitCommandLine(R"("/opt/my browser/run" -a"b c")"),
              (Args{"/opt/my browser/run", "-ab c"}));
    EXPECT_EQ(splitCommandLine(R"("say \"hi\" \$HOME \\ \`x\`" 100%%)"),
              (Args{R"(say "hi" $HOME \ `x`)", "100%"}));
    EXPECT_EQ(splitCommandLine(R"("")"), (Args{""}));
    EXPECT_EQ(splitCommandLine("   "), Args{});
    EXPECT_EQ(splitCommandLine(R"(sh -c "browser )"), std::nullopt);
}

TEST(ExecFromDesktopEntry, ReadsTheEntryGroupsExecWithStringEscapes) {
    const std::string file = "# comment\n"
                             "[Desktop Action new]\n"
                             "Exec=wrong %u\n"
                             "[Desktop Entry]\r\n"
                             "Name=Browser\r\n"
                             "Exec[de]=localised %u\r\n"
                             "ExecStart=other\r\n"
                             "Exec = /opt/web\\sbrowser/run \"a\\\\b\" %U\r\n";
    EXPECT_EQ(execFromDesktopEntry(file), R"(/opt/web browser/run "a\b" %U)");
    EXPECT_EQ(execFromDesktopEntry("[Desktop Entry]\nName=x\n"), std::nullopt);
    EXPECT_EQ(execFromDesktopEntry("Exec=outside a group\n"), std::nullopt);
}

class FakeOpener : public LinkOpener {
public:
    bool desktopOpens = false;
    std::optional<std::string> handler;
    int startResult = kOpenSucceeded;
    std::vector<std::vector<std::string>> started;
    int desktopCalls = 0;

    bool openWithDesktop(const std::string&) override {
        ++desktopCalls;
        return desktopOpens;
    }
    std::optional<std::string> webPageHandlerCommand() override { return handler; }
    int startProgram(const std::vector<std::string>& argv) override {
        started.push_back(argv);
        return startResult;
    }
};

TEST(OpenLink, UsesTheDesktopFirstAndTheWebPageHandlerSecond) {
    FakeOpener opener;
    opener.desktopOpens = true;
    opener.handler = "browser %u";
    EXPECT_GT(openLink("https://example.org/", opener), 32);
    EXPECT_TRUE(opener.started.empty());

    opener.desktopOpens = false;
    opener.handler = R"("/opt/web browser/run" "%u" --extra)";
    EXPECT_GT(openLink("https://example.org/", opener), 32);
    ASSERT_EQ(opener.started.size(), 1u);
    EXPECT_EQ(opener.started[0],
              (std::vector<std::string>{"/opt/web browser/run", "https://example.org/"}));
}

TEST(OpenLink, PassesAnAddressAsOneArgumentWhateverItContains) {
    FakeOpener opener;
    opener.handler = "browser";
    const std::string hostile = "x\"; rm -rf ~; echo \"$(id) `id` %u";
    EXPECT_GT(openLink(hostile, opener), 32);
    ASSERT_EQ(opener.started.size(), 1u);
    EXPECT_EQ(opener.started[0], (std::vector<std::string>{"browser", hostile}));
}

TEST(OpenLink, ReportsWhyTheFallBackStopped) {
    FakeOpener opener;
    // No handler, or one whose command cannot be used: the desktop's "no handler".
    EXPECT_EQ(openLink("a", opener), kOpenNoHandler);
    opener.handler = "%u";
    EXPECT_EQ(openLink("a", opener), kOpenNoHandler);
    opener.handler = R"(sh -c "browser %u")";
    EXPECT_EQ(openLink("a", opener), kOpenNoHandler);
    EXPECT_TRUE(opener.started.empty());
    // A handler that would not start: the start's own code.
    opener.handler = "missing-browser %u";
    opener.startResult = openCodeFromErrno(ENOENT);
    EXPECT_EQ(openLink("a", opener), kOpenFileNotFound);
}

TEST(OpenFailure, MapsStartErrorsToTheReportedCodes) {
    EXPECT_EQ(openCodeFromErrno(ENOENT), 2);
    EXPECT_EQ(openCodeFromErrno(ENOTDIR), 3);
    EXPECT_EQ(openCodeFromErrno(EACCES), 5);
    EXPECT_EQ(openCodeFromErrno(ENOMEM), 8);
    EXPECT_EQ(openCodeFromErrno(EIO), 0);
}

TEST(DesktopLinkOpener, ReportsAProgramThatCannotBeStarted) {
    DesktopLinkOpener opener;
    EXPECT_EQ(opener.startProgram({"/nonexistent/kestrova-browser", "https://example.org/"}),
              kOpenFileNotFound);
    EXPECT_EQ(opener.startProgram({"/", "https://example.org/"}), kOpenAccessDenied);
}

TEST(OpenFailure, ExplainsEachCodeInTheUsersWords) {
    EXPECT_EQ(openFailureMessage(26),
              "Unable to open hyperlink:\n\nA sharing violation occurred. ");
    EXPECT_EQ(openFailureMessage(4), "Unable to open hyperlink:\n\nUnknown Error (4) occurred.");
    EXPECT_EQ(openFailureReason(-7), "Unknown Error (-7) occurred.");
    EXPECT_EQ(openFailureReason(33), "Unknown Error (33) occurred.");
    EXPECT_EQ(openFailureReason(0), "The operating system is out\nof memory or resources.");
}

} // namespace
} // namespace kestrova
