#include "cli/Console.h"

#include "windows/WideText.h"

#include <shellapi.h>

namespace kestrova {

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

std::FILE* ProgressStream() {
    ::SetConsoleOutputCP(CP_UTF8);
    const HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (error == INVALID_HANDLE_VALUE || !::GetConsoleMode(error, &mode)) {
        return nullptr;
    }
    ::SetConsoleMode(error, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    return stderr;
}

} // namespace kestrova
