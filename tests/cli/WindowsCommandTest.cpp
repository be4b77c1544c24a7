// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "i18n/WideText.h"
#include "support/WineUnixSide.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace kestrova {
namespace {

using test::UnixPath;
using windows::Wide;

struct Outcome {
    DWORD status = 0;
    std::string out;
};

std::wstring Program() {
    wchar_t self[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring path(self, length);
    return path.substr(0, path.find_last_of(L'\\')) + L"\\..\\cli\\kestrova-sync.exe";
}

// Runs kestrova-sync.exe with `args` (quoted on its command line), standard output
// captured; `whileRunning` is called once the program has started.
template <typename Action>
Outcome RunCommand(const std::vector<std::string>& args, DWORD flags, Action whileRunning,
                   const std::wstring& program = Program()) {
    std::wstring line = L"\"" + program + L"\"";
    for (const std::string& arg : args) {
        line += L" \"" + Wide(arg) + L"\"";
    }
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    EXPECT_TRUE(::CreatePipe(&read, &write, &inherit, 0));
    ::SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write;
    startup.hStdError = write;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    Outcome outcome;
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, flags, nullptr, nullptr,
                          &startup, &process)) {
        ADD_FAILURE() << "cannot start the program: " << ::GetLastError();
        return outcome;
    }
    ::CloseHandle(write);
    whileRunning(process.dwProcessId);
    // Read until the program has ended and its output is drained, not until the pipe
    // closes: under Wine, a program's first window (the shell's, for the Recycle Bin)
    // may start the desktop process, which inherits the pipe and outlives the program.
    char buffer[4096];
    for (bool ended = false;;) {
        DWORD available = 0;
        DWORD got = 0;
        if (!::PeekNamedPipe(read, nullptr, 0, nullptr, &available, nullptr)) {
            break; // every writer has closed it
        }
        if (available > 0 &&
            ::ReadFile(read, buffer, std::min<DWORD>(sizeof buffer, available), &got, nullptr)) {
            outcome.out.append(buffer, got);
        } else if (ended) {
            break;
        } else {
            ended = ::WaitForSingleObject(process.hProcess, 10) == WAIT_OBJECT_0;
        }
    }
    ::CloseHandle(read);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    ::GetExitCodeProcess(process.hProcess, &outcome.status);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    return outcome;
}

Outcome RunCommand(const std::vector<std::string>& args) {
    return RunCommand(args, 0, [](DWORD) {});
}

std::string MakeFolder(const std::string& path) {
    std::filesystem::create_directories(Wide(path));
    return path;
}

// Folder names outside the ANSI code page reach the program whole; the exit
// statuses are those of the Linux command.
TEST(WindowsCommand, WideArgumentsReportAndExitStatuses) {
    const std::string base = std::filesystem::temp_directory_path().string() + "kestrova-cli-" +
                             std::to_string(std::random_device()());
    const std::string source = MakeFolder(base + "\\源 \xf0\x9f\x93\x81");
    const std::string target = MakeFolder(base + "\\備份");
    std::ofstream(std::filesystem::path(Wide(source + "\\文件.txt")), std::ios::binary) << "data";

    const Outcome first = RunCommand({"--delete", source, target});
    EXPECT_EQ(first.status, 0u);
    EXPECT_NE(first.out.find("從 " + source), std::string::npos) << first.out;
    EXPECT_NE(first.out.find(source + "\\文件.txt"), std::string::npos) << first.out;
    EXPECT_TRUE(std::filesystem::exists(Wide(target + "\\文件.txt")));

    const Outcome second = RunCommand({source, target});
    EXPECT_EQ(second.status, 0u);
    EXPECT_NE(second.out.find("沒有文件需要更新"), std::string::npos) << second.out;

    EXPECT_EQ(RunCommand({"relative", target}).status, 1u);
    EXPECT_EQ(RunCommand({source}).status, 2u);
    std::filesystem::remove_all(Wide(base));
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(std::filesystem::path(Wide(path)), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// With --trash the deleted and the replaced file go to the Recycle Bin, the new copy
// lands. Under Wine the bin is the freedesktop trash in $XDG_DATA_HOME, here a folder
// of the test's own, where each file and where it came from can be read back.
TEST(WindowsCommand, TrashSendsDeletedAndReplacedFilesToTheRecycleBin) {
    const std::string base = std::filesystem::temp_directory_path().string() + "kestrova-cli-" +
                             std::to_string(std::random_device()());
    const std::string source = MakeFolder(base + "\\src");
    const std::string target = MakeFolder(base + "\\dst");
    const std::string data = MakeFolder(base + "\\data");
    std::ofstream(std::filesystem::path(Wide(source + "\\a.txt")), std::ios::binary) << "new";
    std::ofstream(std::filesystem::path(Wide(target + "\\a.txt")), std::ios::binary) << "old";
    std::ofstream(std::filesystem::path(Wide(target + "\\gone.txt")), std::ios::binary) << "g";
    std::filesystem::last_write_time(std::filesystem::path(Wide(target + "\\a.txt")),
                                     std::filesystem::file_time_type{});
    const std::string unixData = UnixPath(data);
    ::SetEnvironmentVariableW(L"XDG_DATA_HOME", Wide(unixData).c_str());
    const std::wstring root = Wide(base.substr(0, 3));
    SHQUERYRBINFO before{sizeof before, 0, 0};
    ::SHQueryRecycleBinW(root.c_str(), &before);

    const Outcome run = RunCommand({"--delete", "--trash", source, target});
    ::SetEnvironmentVariableW(L"XDG_DATA_HOME", nullptr);
    EXPECT_EQ(run.status, 0u) << run.out;
    EXPECT_EQ(ReadAll(target + "\\a.txt"), "new");
    EXPECT_FALSE(std::filesystem::exists(Wide(target + "\\gone.txt")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Wide(target)), {}), 1);
    if (unixData.empty()) {
        SHQUERYRBINFO after{sizeof after, 0, 0};
        ::SHQueryRecycleBinW(root.c_str(), &after);
        EXPECT_GE(after.i64NumItems, before.i64NumItems + 2);
    } else {
        EXPECT_EQ(ReadAll(data + "\\Trash\\files\\a.txt"), "old");
        EXPECT_EQ(ReadAll(data + "\\Trash\\files\\gone.txt"), "g");
        EXPECT_NE(ReadAll(data + "\\Trash\\info\\a.txt.trashinfo")
                      .find("Path=" + UnixPath(target) + "/a.txt\n"),
                  std::string::npos);
    }
    std::filesystem::remove_all(Wide(base));
}

// Sets an environment variable for as long as it lives; an empty value unsets it.
class ScopedVariable {
public:
    ScopedVariable(const wchar_t* name, const wchar_t* value) : name_(name) {
        wchar_t old[256];
        const DWORD length = ::GetEnvironmentVariableW(name, old, 256);
        had_ = length > 0 && length < 256;
        old_ = had_ ? old : L"";
        set(value);
    }
    ~ScopedVariable() { ::SetEnvironmentVariableW(name_, had_ ? old_.c_str() : nullptr); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;
    void set(const wchar_t* value) { ::SetEnvironmentVariableW(name_, *value ? value : nullptr); }

private:
    const wchar_t* name_;
    std::wstring old_;
    bool had_ = false;
};

// The texts follow LANGUAGE, LC_ALL, LC_MESSAGES and LANG and, where none is set, the
// user's display language; the catalogues are found in a locale folder beside the
// program, in a folder whose name the ANSI code page cannot hold.
TEST(WindowsCommand, TextsInTheUsersLanguage) {
    namespace fs = std::filesystem;
    const std::string base = fs::temp_directory_path().string() + "kestrova-cli-" +
                             std::to_string(std::random_device()());
    const std::string installed = MakeFolder(base + "\\程序 \xf0\x9f\x93\x81");
    const fs::path built(Program());
    fs::copy_file(built, Wide(installed + "\\kestrova-sync.exe"));
    fs::copy(built.parent_path().parent_path() / "locale", Wide(installed + "\\locale"),
             fs::copy_options::recursive);
    const std::string source = MakeFolder(base + "\\src");
    const std::string target = MakeFolder(base + "\\dst");
    const auto firstLine = [&] {
        const Outcome run = RunCommand(
            {source, target}, 0, [](DWORD) {}, Wide(installed + "\\kestrova-sync.exe"));
        return run.out.substr(0, run.out.find(source));
    };
    ScopedVariable language(L"LANGUAGE", L"");
    ScopedVariable all(L"LC_ALL", L"");
    ScopedVariable messages(L"LC_MESSAGES", L"");
    ScopedVariable lang(L"LANG", L"zh_CN.UTF-8");
    EXPECT_EQ(firstLine(), "从 ");
    lang.set(L"C");
    EXPECT_EQ(firstLine(), "從 ");
    lang.set(L"");
    wchar_t display[LOCALE_NAME_MAX_LENGTH] = {};
    ::LCIDToLocaleName(MAKELCID(::GetUserDefaultUILanguage(), SORT_DEFAULT), display,
                       LOCALE_NAME_MAX_LENGTH, 0);
    const std::wstring_view shown = display;
    // Simplified Chinese has a catalogue, Traditional Chinese is the original texts, and
    // every other language gets English.
    const char* expected = shown == L"zh-CN" || shown == L"zh-SG" ? "从 "
                           : shown.starts_with(L"zh-")            ? "從 "
                                                                  : "From ";
    EXPECT_EQ(firstLine(), expected) << windows::Utf8(shown);
    fs::remove_all(Wide(base));
}

// Runs kestrova-sync.exe with `args` in this process's console and returns its exit
// status.
DWORD RunInConsole(const std::vector<std::string>& args) {
    std::wstring line = L"\"" + Program() + L"\"";
    for (const std::string& arg : args) {
        line += L" \"" + Wide(arg) + L"\"";
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        return ~DWORD{0};
    }
    DWORD status = 0;
    ::WaitForSingleObject(process.hProcess, INFINITE);
    ::GetExitCodeProcess(process.hProcess, &status);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    return status;
}

// `text` without a terminal's control sequences; a move to the right stands for blanks.
std::string WithoutControls(const std::string& text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\033') {
            plain += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '[') {
            std::size_t count = 0;
            for (i += 2; i < text.size() && !std::isalpha(static_cast<unsigned char>(text[i]));
                 ++i) {
                count = std::isdigit(static_cast<unsigned char>(text[i])) != 0
                            ? count * 10 + static_cast<std::size_t>(text[i] - '0')
                            : 0;
            }
            if (i < text.size() && text[i] == 'C') {
                plain.append(count, ' '); // the cursor moved on over blanks
            }
        }
    }
    return plain;
}

// Written to a console, the report shows whatever the console's code page (it goes
// there as wide characters), a usage error too, and the console keeps the code page
// it had. Under Wine a console needs a terminal: the test runs itself again under
// `script` and reads back what the terminal showed. On Windows it makes a console.
TEST(WindowsCommand, ConsoleShowsTheReportAndKeepsItsCodePage) {
    const std::string base = std::filesystem::temp_directory_path().string() + "kestrova-cli-" +
                             std::to_string(std::random_device()());
    const std::string source = MakeFolder(base + "\\src");
    const std::string target = MakeFolder(base + "\\dst");
    const bool again = std::getenv("KESTROVA_TEST_IN_CONSOLE") != nullptr;
    if (!again && test::UnderWine()) {
        wchar_t self[MAX_PATH];
        const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
        wchar_t loader[MAX_PATH];
        const DWORD loaderLength = ::GetEnvironmentVariableW(L"WINELOADER", loader, MAX_PATH);
        ASSERT_TRUE(loaderLength > 0 && loaderLength < MAX_PATH);
        const std::string shown = base + "\\shown.txt";
        const std::string command =
            windows::Utf8({loader, loaderLength}) + " " +
            test::ShellWord(UnixPath(windows::Utf8({self, length}))) +
            " --gtest_color=no "
            "--gtest_filter=WindowsCommand.ConsoleShowsTheReportAndKeepsItsCodePage";
        EXPECT_EQ(test::RunUnixCommand("KESTROVA_TEST_IN_CONSOLE=1 WINEDEBUG=-all LC_ALL=C.UTF-8 "
                                       "script -qfec " +
                                           test::ShellWord(command) + " " +
                                           test::ShellWord(UnixPath(shown)),
                                       240),
                  0);
        const std::string terminal = WithoutControls(ReadAll(shown));
        EXPECT_NE(terminal.find("從 " + std::filesystem::temp_directory_path().string()),
                  std::string::npos)
            << terminal;
        EXPECT_NE(terminal.find("kestrova-sync: cannot copy"), std::string::npos) << terminal;
        EXPECT_NE(terminal.find("kestrova-sync: unknown option"), std::string::npos) << terminal;
        EXPECT_NE(terminal.find("[  PASSED  ] 1 test"), std::string::npos) << terminal;
        std::filesystem::remove_all(Wide(base));
        return;
    }
    if (!again) {
        ::AllocConsole();
    }
    ASSERT_TRUE(::SetConsoleOutputCP(437));
    std::ofstream(std::filesystem::path(Wide(source + "\\文件.txt")), std::ios::binary) << "data";
    // A read-only copy that is not replaced gives a line on standard error.
    std::ofstream(std::filesystem::path(Wide(source + "\\a.txt")), std::ios::binary) << "new";
    std::ofstream(std::filesystem::path(Wide(target + "\\a.txt")), std::ios::binary) << "old";
    std::filesystem::last_write_time(std::filesystem::path(Wide(target + "\\a.txt")),
                                     std::filesystem::file_time_type{});
    ::SetFileAttributesW(Wide(target + "\\a.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(RunInConsole({source, target}), 1u);
    EXPECT_EQ(RunInConsole({"--no-such-option"}), 2u);
    EXPECT_EQ(::GetConsoleOutputCP(), 437u);
    if (!again) {
        const HANDLE console =
            ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        std::wstring shown(4000, L'\0');
        DWORD got = 0;
        ::ReadConsoleOutputCharacterW(console, shown.data(), static_cast<DWORD>(shown.size()),
                                      {0, 0}, &got);
        ::CloseHandle(console);
        EXPECT_NE(shown.find(L"從 " + Wide(source)), std::wstring::npos);
    }
    ::SetFileAttributesW(Wide(target + "\\a.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove_all(Wide(base));
}

// Ctrl+Break stops a run as Stop does: the partial copy goes, the status says so.
TEST(WindowsCommand, CtrlBreakStopsTheRun) {
    const std::string base = std::filesystem::temp_directory_path().string() + "kestrova-cli-" +
                             std::to_string(std::random_device()());
    const std::string source = MakeFolder(base + "\\src");
    const std::string target = MakeFolder(base + "\\dst");
    {
        std::ofstream big(std::filesystem::path(Wide(source + "\\big.bin")), std::ios::binary);
        big.seekp((std::int64_t{4} << 30) - 1);
        big.put('x');
    }
    // Console events reach only processes of one console; a test run may have none.
    ::AllocConsole();
    bool sent = false;
    const Outcome stopped =
        RunCommand({source, target}, CREATE_NEW_PROCESS_GROUP, [&](DWORD process) {
            while (std::filesystem::is_empty(Wide(target))) {
                ::Sleep(10);
            }
            sent = ::GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, process);
            if (!sent) {
                ::TerminateProcess(::OpenProcess(PROCESS_TERMINATE, FALSE, process), 9);
            }
        });
    if (!sent) {
        std::filesystem::remove_all(Wide(base));
        GTEST_SKIP() << "Ctrl+Break cannot be sent here (under Wine, GenerateConsoleCtrlEvent "
                        "fails for a test run without a terminal)";
    }
    EXPECT_EQ(stopped.status, 130u);
    EXPECT_TRUE(std::filesystem::is_empty(Wide(target)));
    std::filesystem::remove_all(Wide(base));
}

} // namespace
} // namespace kestrova
