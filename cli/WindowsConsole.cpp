// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "cli/Console.h"

#include "i18n/WideText.h"

#include <io.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>

namespace kestrova {

namespace {

// The console `stream` writes to, or null for a file, a pipe or a closed stream.
HANDLE ConsoleOf(std::FILE* stream) {
    const int descriptor = stream != nullptr ? ::_fileno(stream) : -1;
    const auto handle =
        reinterpret_cast<HANDLE>(descriptor >= 0 ? ::_get_osfhandle(descriptor) : -1);
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode) ? handle : nullptr;
}

// The error console's mode before the progress display changed it.
HANDLE g_progressConsole = nullptr;
DWORD g_progressConsoleMode = 0;

void RestoreProgressConsole() {
    ::SetConsoleMode(g_progressConsole, g_progressConsoleMode);
}

} // namespace

// Ctrl+C and Ctrl+Break are taken by the run itself; a closed pipe fails the write
// rather than ending the process, so there is nothing to ready here.
void PrepareProcess() {}

// The runtime's argv is in the ANSI code page, which cannot hold every path.
std::vector<std::string> CommandArguments(int, char**) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; wide != nullptr && i < count; ++i) {
        args.push_back(windows::Utf8(wide[i]));
    }
    ::LocalFree(wide);
    return args;
}

// The console's code page is left alone: text reaches it as wide characters. A
// console that takes no control sequences (older Windows, Wine) shows no progress.
std::FILE* ProgressStream() {
    const HANDLE console = ConsoleOf(stderr);
    DWORD mode = 0;
    if (console == nullptr || !::GetConsoleMode(console, &mode)) {
        return nullptr;
    }
    if ((mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) == 0) {
        if (!::SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING)) {
            return nullptr;
        }
        g_progressConsole = console;
        g_progressConsoleMode = mode;
        std::atexit(RestoreProgressConsole);
    }
    return stderr;
}

bool WriteText(std::FILE* stream, std::string_view text) {
    const HANDLE console = ConsoleOf(stream);
    if (console == nullptr) {
        return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
    }
    std::fflush(stream);
    const std::wstring wide = windows::Wide(text);
    std::size_t done = 0;
    while (done < wide.size()) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, 8192));
        if (!::WriteConsoleW(console, wide.data() + done, chunk, &written, nullptr) ||
            written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

} // namespace kestrova
