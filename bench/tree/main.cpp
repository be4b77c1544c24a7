// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

// bench-tree: makes the benchmark's trees from a seed and applies the changes that
// the scenarios run against.

#include "tree/Change.h"
#include "tree/Generate.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int usage() {
    std::fputs("usage: bench-tree small DIR SEED [FILES FOLDERS]\n"
               "       bench-tree large DIR SEED [FILES MIB_EACH]\n"
               "       bench-tree sparse DIR SEED [FILES GIB_EACH MIB_OF_DATA_EACH]\n"
               "       bench-tree touch DIR SEED SHARE\n"
               "       bench-tree hide SOURCE TARGET STASH SEED SHARE\n"
               "       bench-tree restore SOURCE TARGET STASH\n",
               stderr);
    return 2;
}

std::uint64_t number(const char* text) {
    return std::strtoull(text, nullptr, 10);
}

} // namespace

int main(int argc, char** argv) {
    using namespace kestrova::bench;
    if (argc < 3) {
        return usage();
    }
    const std::string command = argv[1];
    std::string error;
    if (command == "small" && (argc == 4 || argc == 6)) {
        const int files = argc == 6 ? static_cast<int>(number(argv[4])) : 100000;
        const int folders = argc == 6 ? static_cast<int>(number(argv[5])) : 5000;
        error = makeSmallTree(argv[2], number(argv[3]), files, folders, 6);
    } else if (command == "large" && (argc == 4 || argc == 6)) {
        const int files = argc == 6 ? static_cast<int>(number(argv[4])) : 8;
        const std::uint64_t mib = argc == 6 ? number(argv[5]) : 256;
        error = makeLargeTree(argv[2], number(argv[3]), files, mib << 20);
    } else if (command == "sparse" && (argc == 4 || argc == 7)) {
        const int files = argc == 7 ? static_cast<int>(number(argv[4])) : 1;
        const std::uint64_t gib = argc == 7 ? number(argv[5]) : 8;
        const std::uint64_t mib = argc == 7 ? number(argv[6]) : 64;
        error = makeSparseTree(argv[2], number(argv[3]), files, gib << 30, mib << 20);
    } else if (command == "touch" && argc == 5) {
        error = touchFiles(argv[2], number(argv[3]), std::strtod(argv[4], nullptr));
    } else if (command == "hide" && argc == 7) {
        error =
            hideFiles(argv[2], argv[3], argv[4], number(argv[5]), std::strtod(argv[6], nullptr));
    } else if (command == "restore" && argc == 5) {
        error = restoreHidden(argv[2], argv[3], argv[4]);
    } else {
        return usage();
    }
    if (!error.empty()) {
        std::fprintf(stderr, "bench-tree: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
