// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "support/TreeFixture.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace kestrova::test {
namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

enum class Output { Captured, Full, Closed, ReaderGone };

// Runs kestrova-sync with `args`, standard output (unless it is to be full or
// closed) and standard error captured.
Outcome RunCommand(const std::vector<std::string>& args, Output output = Output::Captured) {
    int pipeFds[2];
    EXPECT_EQ(::pipe(pipeFds), 0);
    if (output == Output::ReaderGone) {
        // Gone before the child starts, so that its first write of the report fails.
        ::close(pipeFds[0]);
        pipeFds[0] = -1;
    }
    std::FILE* errors = std::tmpfile();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (output == Output::Captured || output == Output::ReaderGone) {
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    } else if (output == Output::Full) {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/full", O_WRONLY, 0);
    } else {
        posix_spawn_file_actions_addclose(&actions, STDOUT_FILENO);
    }
    if (pipeFds[0] >= 0) {
        posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    }
    posix_spawn_file_actions_adddup2(&actions, ::fileno(errors), STDERR_FILENO);
    std::vector<std::string> all = {KESTROVA_SYNC_PROGRAM};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    EXPECT_EQ(::posix_spawn(&child, KESTROVA_SYNC_PROGRAM, &actions, nullptr, argv.data(), environ),
              0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    Outcome outcome;
    char buffer[4096];
    ssize_t got;
    while (pipeFds[0] >= 0 && (got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0) {
        outcome.out.append(buffer, static_cast<std::size_t>(got));
    }
    if (pipeFds[0] >= 0) {
        ::close(pipeFds[0]);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::rewind(errors);
    while ((got = static_cast<ssize_t>(std::fread(buffer, 1, sizeof buffer, errors))) > 0) {
        outcome.err.append(buffer, static_cast<std::size_t>(got));
    }
    std::fclose(errors);
    return outcome;
}

TEST(CommandTest, ReportWithPlainLineEndsAndExitStatuses) {
    TempFolder temp;
    const std::string src = temp.sub("src");
    const std::string dst = temp.sub("dst");
    WriteTree(src, {{"f", File("f")}});

    const Outcome first = RunCommand({"--delete", src, dst});
    EXPECT_EQ(first.status, 0);
    EXPECT_EQ(first.out, "從 " + src + "\n到 " + dst +
                             "\n同步過程中沒有錯誤\n更新了以下改動過的文件\n" + src +
                             "/f\n\n\n---------------------------------\n\n");
    const Outcome again = RunCommand({src, dst});
    EXPECT_EQ(again.status, 0);
    EXPECT_NE(again.out.find("沒有文件需要更新\n"), std::string::npos);

    // A pipe is mirrored, not a failure.
    WriteTree(src, {{"fifo", Pipe()}});
    EXPECT_EQ(RunCommand({src, dst}).status, 0);
    WriteTree(src, {{"ro", File("new", kTime + 1)}});
    WriteTree(dst, {{"ro", File("old", kTime, 0, 0444)}});
    const Outcome failed = RunCommand({src, dst});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.err,
              "kestrova-sync: cannot copy " + src + "/ro: a read-only copy is not replaced\n");
    EXPECT_EQ(RunCommand({src, dst + "/../dst/"}).status, 1); // refused: ".." in a root
    EXPECT_EQ(RunCommand({"--delete", temp.sub("empty"), dst}).status, 1); // backup kept
    EXPECT_EQ(RunCommand({"relative", dst}).status, 1);
    EXPECT_EQ(RunCommand({src}).status, 2);
    // A usage error says what is wrong and where help is, not the whole help.
    const Outcome bogus = RunCommand({"--bogus", src, dst});
    EXPECT_EQ(bogus.status, 2);
    EXPECT_EQ(bogus.err, "kestrova-sync: unknown option --bogus\n"
                         "Try 'kestrova-sync --help' for more information.\n");
    EXPECT_EQ(RunCommand({"--help"}).status, 0);
    EXPECT_EQ(RunCommand({"--version"}).out, "kestrova-sync " KESTROVA_VERSION_FOR_TEST "\n");
}

// Reasons go to standard error, the missing target once; a report that cannot be
// written (full, closed, or a pipe nobody reads) is said there and fails the
// command, while the run itself goes on.
TEST(CommandTest, FailuresAndAnUnwritableReportAreSaidOnStandardError) {
    TempFolder temp;
    const std::string src = temp.sub("src");
    const std::string missing = temp.path() + "/missing";
    WriteTree(src, {{"a", File("a")}, {"sub/b", File("b")}});
    const Outcome noTarget = RunCommand({src, missing});
    EXPECT_EQ(noTarget.status, 1);
    EXPECT_EQ(noTarget.err, "kestrova-sync: " + missing + ": the target folder does not exist\n");
    EXPECT_NE(noTarget.out.find(src + "/sub/b\n目標目錄不存在\n\n"), std::string::npos);

    const std::string dst = temp.sub("dst");
    const Outcome full = RunCommand({src, dst}, Output::Full);
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err, "kestrova-sync: cannot write the report: No space left on device\n");
    EXPECT_EQ(ReadTree(dst), ReadTree(src));
    const Outcome closed = RunCommand({src, dst}, Output::Closed);
    EXPECT_EQ(closed.status, 1);
    EXPECT_EQ(closed.err, "kestrova-sync: cannot write the report: Bad file descriptor\n");
    const Outcome readerGone = RunCommand({src, dst}, Output::ReaderGone);
    EXPECT_EQ(readerGone.status, 1);
    EXPECT_EQ(readerGone.err, "kestrova-sync: cannot write the report: Broken pipe\n");
}

// SIGTERM stops the run like the Stop button: exit status 130, the partial copy gone,
// the previous copy intact.
TEST(CommandTest, TerminationStopsTheRunAndRemovesThePartialCopy) {
    TempFolder temp;
    const std::string src = temp.sub("src");
    const std::string dst = temp.sub("dst");
    {
        // Data, not holes, so that the copy takes a while.
        const std::string block(1 << 20, 'b');
        const int fd = ::open((src + "/big").c_str(), O_WRONLY | O_CREAT, 0644);
        for (int i = 0; i < 256; ++i) {
            ASSERT_EQ(::write(fd, block.data(), block.size()), static_cast<ssize_t>(block.size()));
        }
        ::close(fd);
    }

    std::string program = KESTROVA_SYNC_PROGRAM;
    std::string srcArg = src;
    std::string dstArg = dst;
    char* argv[] = {program.data(), srcArg.data(), dstArg.data(), nullptr};
    // A copy that ended before it was seen is tried again.
    for (int attempt = 0; attempt < 5; ++attempt) {
        WriteTree(dst, {{"big", File("previous")}});
        pid_t child = 0;
        ASSERT_EQ(::posix_spawn(&child, program.c_str(), nullptr, nullptr, argv, environ), 0);
        // Whatever the test's outcome, the child never outlives it (nor its folders).
        const std::unique_ptr<pid_t, void (*)(pid_t*)> reaper(&child, [](pid_t* pid) {
            if (*pid > 0) {
                ::kill(*pid, SIGKILL);
                ::waitpid(*pid, nullptr, 0);
            }
        });
        // The partial copy: a file in the target folder, open in the child, with data in
        // it. (The child also opens an empty file there to learn the time step.)
        const std::string openFiles = "/proc/" + std::to_string(child) + "/fd";
        const auto copying = [&] {
            DIR* folder = ::opendir(openFiles.c_str());
            bool found = false;
            while (const dirent* entry = folder != nullptr ? ::readdir(folder) : nullptr) {
                char text[4096];
                const ssize_t size =
                    ::readlinkat(::dirfd(folder), entry->d_name, text, sizeof text);
                struct stat file;
                found = found ||
                        (size > 0 &&
                         std::string(text, static_cast<std::size_t>(size)).starts_with(dst + "/") &&
                         ::stat((openFiles + "/" + entry->d_name).c_str(), &file) == 0 &&
                         file.st_size > 0);
            }
            if (folder != nullptr) {
                ::closedir(folder);
            }
            return found;
        };
        int status = 0;
        bool seen = false;
        for (int i = 0; i < 60000 && !seen; ++i) {
            seen = copying();
            if (!seen && ::waitpid(child, &status, WNOHANG) == child) {
                child = 0; // ended: the copy was done before it was seen
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (!seen) {
            continue;
        }
        ::kill(child, SIGTERM);
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        child = 0;
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 130);
        EXPECT_EQ(ReadTree(dst), (Tree{{"big", File("previous")}}));
        return;
    }
    FAIL() << "the copy was never seen under way";
}

} // namespace
} // namespace kestrova::test
