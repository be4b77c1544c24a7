// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "settings/PairListAccess.h"
#include "support/ScopedEnv.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace kestrova::settings_test {

using Pairs = std::vector<std::pair<std::string, std::string>>;

// A pair list held in memory.
class PairVector : public PairListAccess {
public:
    PairVector() = default;
    explicit PairVector(Pairs initial) : pairs(std::move(initial)) {}

    int rowCount() const override { return static_cast<int>(pairs.size()); }
    std::string rowText(int row, int column) const override {
        const auto& pair = pairs.at(static_cast<std::size_t>(row));
        return column == 0 ? pair.first : pair.second;
    }
    void appendRow(const std::string& source, const std::string& target) override {
        pairs.emplace_back(source, target);
    }

    Pairs pairs;
};

// A fresh folder, removed with everything in it at the end of the test.
class TempFolder {
public:
    TempFolder() {
#ifdef _WIN32
        const auto base = std::filesystem::temp_directory_path();
        for (unsigned n = std::random_device()();; ++n) {
            path_ = base / ("kestrova-" + std::to_string(n));
            if (std::filesystem::create_directory(path_)) {
                break;
            }
        }
#else
        std::string pattern = (std::filesystem::temp_directory_path() / "kestrova-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
#endif
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string file(const std::string& name) const {
        return (path_ / name).string();
    }
    const std::filesystem::path& path() const {
        return path_;
    }

    // Names of everything in the folder, sorted.
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

using test::ScopedEnv;

} // namespace kestrova::settings_test
