// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// One message catalogue in the binary format of gettext's msgfmt: the original
// texts sorted by their bytes, each with its translation.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

class MessageCatalogue {
public:
    // Null when the file cannot be read or is not a well-formed catalogue.
    static std::unique_ptr<MessageCatalogue> Load(const std::string& file);

    // The translation of `original`, or null when the catalogue has none.
    const char* find(std::string_view original) const;

private:
    struct Entry {
        std::string_view original;
        const char* translation;
    };

    explicit MessageCatalogue(std::vector<char> data) : data_(std::move(data)) {}
    bool index();

    std::vector<char> data_;
    std::vector<Entry> entries_;
};

} // namespace kestrova
