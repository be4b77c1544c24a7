// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "i18n/MessageCatalogue.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace kestrova {

namespace {

constexpr std::uint32_t kMagic = 0x950412de;
constexpr std::uint32_t kSwappedMagic = 0xde120495;

std::uint32_t Swap(std::uint32_t v) {
    return (v >> 24) | ((v >> 8) & 0xff00) | ((v << 8) & 0xff0000) | (v << 24);
}

} // namespace

std::unique_ptr<MessageCatalogue> MessageCatalogue::Load(const std::string& file) {
#ifdef _WIN32
    // Paths are UTF-8; a plain string would be read in the ANSI code page.
    std::ifstream in(std::filesystem::path(std::u8string(file.begin(), file.end())),
                     std::ios::binary);
#else
    std::ifstream in(file, std::ios::binary);
#endif
    if (!in) {
        return nullptr;
    }
    std::vector<char> data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        return nullptr;
    }
    std::unique_ptr<MessageCatalogue> catalogue(new MessageCatalogue(std::move(data)));
    if (!catalogue->index()) {
        return nullptr;
    }
    return catalogue;
}

// Checks every offset against the file's size, and that every text ends in a NUL
// so that a translation can be handed out as a C string.
bool MessageCatalogue::index() {
    const std::size_t size = data_.size();
    if (size < 28) {
        return false;
    }
    bool swapped = false;
    auto word = [&](std::size_t at) {
        std::uint32_t v;
        std::memcpy(&v, data_.data() + at, sizeof v);
        return swapped ? Swap(v) : v;
    };
    const std::uint32_t magic = word(0);
    if (magic != kMagic && magic != kSwappedMagic) {
        return false;
    }
    swapped = magic == kSwappedMagic;
    const std::uint64_t count = word(8);
    const std::uint64_t originals = word(12);
    const std::uint64_t translations = word(16);
    if (originals + count * 8 > size || translations + count * 8 > size) {
        return false;
    }
    auto text = [&](std::uint64_t descriptor, std::string_view& out) {
        const std::uint64_t length = word(descriptor);
        const std::uint64_t offset = word(descriptor + 4);
        if (offset + length >= size || data_[offset + length] != '\0') {
            return false;
        }
        out = std::string_view(data_.data() + offset, length);
        return true;
    };
    entries_.reserve(count);
    for (std::uint64_t i = 0; i < count; ++i) {
        std::string_view original;
        std::string_view translation;
        if (!text(originals + i * 8, original) || !text(translations + i * 8, translation)) {
            return false;
        }
        // The empty original carries the catalogue's header, not a text.
        if (!original.empty()) {
            entries_.push_back({original, translation.data()});
        }
    }
    // msgfmt writes the originals sorted; sorting again costs little and makes a
    // catalogue from any writer searchable.
    std::sort(entries_.begin(), entries_.end(),
              [](const Entry& a, const Entry& b) { return a.original < b.original; });
    return true;
}

const char* MessageCatalogue::find(std::string_view original) const {
    auto at = std::lower_bound(
        entries_.begin(), entries_.end(), original,
        [](const Entry& entry, std::string_view wanted) { return entry.original < wanted; });
    if (at == entries_.end() || at->original != original) {
        return nullptr;
    }
    return at->translation;
}

} // namespace kestrova
