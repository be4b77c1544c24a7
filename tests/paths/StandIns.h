// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "paths/FolderFileSystem.h"
#include "paths/MessagePrompt.h"

#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace kestrova::test {

#ifdef _WIN32
inline constexpr const char* kSeparator = "\\";
#else
inline constexpr const char* kSeparator = "/";
#endif

// A new empty folder below the system's temporary folder, as a native path.
inline std::string MakeTempFolder() {
    const auto base = std::filesystem::temp_directory_path();
    for (unsigned n = std::random_device()();; ++n) {
        const auto folder = base / ("kestrova-paths-" + std::to_string(n));
        if (std::filesystem::create_directory(folder)) {
            return folder.string();
        }
    }
}

// A file system held in memory: `existing` folders and `files`; creation succeeds
// unless the name is refused or a file has it. Records every call, so tests can tell
// whether the disk was looked at.
class MemoryFolderFileSystem : public FolderFileSystem {
public:
    std::set<std::string> existing, files, refused;
    std::vector<std::string> created; // every createFolder call, in order
    int existsCalls = 0;

    bool exists(const std::string& path) override {
        ++existsCalls;
        return existing.count(path) != 0 || files.count(path) != 0;
    }
    bool isFolder(const std::string& path) override {
        ++existsCalls;
        return existing.count(path) != 0;
    }
    void createFolder(const std::string& path) override {
        created.push_back(path);
        if (refused.count(path) == 0 && files.count(path) == 0) {
            existing.insert(path);
        }
    }
    bool untouched() const { return existsCalls == 0 && created.empty(); }
};

// Gives `answer` to every question and OK to every other box; keeps every box.
class PresetPrompt : public MessagePrompt {
public:
    BoxAnswer answer = BoxAnswer::No;
    std::vector<std::pair<std::string, BoxStyle>> shown;

    BoxAnswer show(const std::string& text, BoxStyle style) override {
        shown.emplace_back(text, style);
        return style == BoxStyle::YesNoQuestion ? answer : BoxAnswer::Ok;
    }
};

} // namespace kestrova::test
