#include "cli/Console.h"

#include <unistd.h>

namespace kestrova {

std::vector<std::string> CommandArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

std::FILE* ProgressStream() {
    return ::isatty(STDERR_FILENO) ? stderr : nullptr;
}

} // namespace kestrova
