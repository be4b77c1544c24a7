// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// Folder trees declared as data, written to and read back from real folders, so a
// test can state what a folder must hold and compare it whole: exactly equal, no
// extras. Paths within a tree are names joined by "/" on every platform; each
// platform's side (PosixTreeFixture.h, WindowsTreeFixture.h) writes and reads them.

#include <cstdint>
#include <map>
#include <ostream>
#include <string>

namespace kestrova::test {

// What the file system keeps of a file's time and mode: on Windows last-write times
// in 100 ns steps and, of the permission bits, only whether the owner may write (the
// read-only attribute).
#ifdef _WIN32
inline constexpr std::int64_t kTimeStep = 100;
inline constexpr unsigned kKeptMode = 0200;
#else
inline constexpr std::int64_t kTimeStep = 1;
inline constexpr unsigned kKeptMode = 07777;
#endif

struct Item {
    char kind = 'f';  // 'f' file, 'd' folder, 'l' link, 'p' pipe
    std::string data; // a file's contents or a link's text
    std::int64_t seconds = 0;
    std::int64_t nanoseconds = 0;
    unsigned mode = 0644; // permission bits of a file

    // Folders compare by kind only: the engine gives them neither times nor modes.
    friend bool operator==(const Item& a, const Item& b) {
        if (a.kind != b.kind) {
            return false;
        }
        if (a.kind == 'd' || a.kind == 'p') {
            return true;
        }
        return a.data == b.data && a.seconds == b.seconds &&
               a.nanoseconds / kTimeStep == b.nanoseconds / kTimeStep &&
               (a.kind != 'f' || (a.mode & kKeptMode) == (b.mode & kKeptMode));
    }
    friend std::ostream& operator<<(std::ostream& out, const Item& item) {
        out << item.kind;
        if (item.kind == 'f' || item.kind == 'l') {
            out << " \"" << item.data << "\" @" << item.seconds << "." << item.nanoseconds;
        }
        if (item.kind == 'f') {
            out << " mode " << std::oct << item.mode << std::dec;
        }
        return out;
    }
};

// Relative path (names joined by "/") to what is there.
using Tree = std::map<std::string, Item>;

inline constexpr std::int64_t kTime = 1'600'000'000;

inline Item File(std::string contents, std::int64_t seconds = kTime, std::int64_t nanoseconds = 0,
                 unsigned mode = 0644) {
    return {'f', std::move(contents), seconds, nanoseconds, mode};
}
inline Item Folder() {
    return {'d', {}, 0, 0, 0};
}
inline Item Link(std::string text, std::int64_t seconds = kTime, std::int64_t nanoseconds = 0) {
    return {'l', std::move(text), seconds, nanoseconds, 0};
}
inline Item Pipe() {
    return {'p', {}, 0, 0, 0};
}

// `tree` with the folders that its paths imply added, as ReadTree reports them.
inline Tree Full(Tree tree) {
    Tree folders;
    for (const auto& entry : tree) {
        for (std::size_t slash = entry.first.find('/'); slash != std::string::npos;
             slash = entry.first.find('/', slash + 1)) {
            folders[entry.first.substr(0, slash)] = Folder();
        }
    }
    tree.insert(folders.begin(), folders.end());
    return tree;
}

// `path`, written with "/" between names, in the platform's own form.
inline std::string Native(std::string path) {
#ifdef _WIN32
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
#endif
    return path;
}

} // namespace kestrova::test

#ifdef _WIN32
#include "support/WindowsTreeFixture.h"
#else
#include "support/PosixTreeFixture.h"
#endif
