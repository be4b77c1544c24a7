// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "sync/TreeDescription.h"

#include "fs/FolderListing.h"

#include <cstring>

namespace kestrova {

namespace {

// Deeper trees are copied: the description recurses once per level.
constexpr int kMaxDepth = 256;

void AppendNumber(std::string& out, std::int64_t value) {
    char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    out.append(bytes, sizeof value);
}

class Describer {
public:
    Describer(FileSystem& fs, const TreeRules& rules, std::string& out)
        : fs_(fs), rules_(rules), out_(out) {}

    bool describe(FolderHandle parent, const char* name, int depth) {
        if (depth > kMaxDepth || (rules_.stop != nullptr && rules_.stop->load())) {
            return false;
        }
        FolderHandle folder = kNoFolder;
        if (fs_.openFolder(parent, name, folder) != 0) {
            return false;
        }
        const bool described = contents(folder, depth);
        fs_.closeFolder(folder);
        return described;
    }

    std::size_t files = 0;

private:
    bool contents(FolderHandle folder, int depth) {
        FolderIdentity identity;
        FolderListing entries;
        if (fs_.identify(folder, identity) != 0 || identity.mount != rules_.mount ||
            (rules_.avoid != nullptr && identity == *rules_.avoid) ||
            fs_.enumerate(folder, entries) != 0) {
            return false;
        }
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const EntryKind kind = entries.kind(i);
            out_.append(entries.nameView(i));
            out_.push_back('\0');
            out_.push_back(static_cast<char>('0' + static_cast<int>(kind)));
            if (kind == EntryKind::Folder) {
                if (!describe(folder, entries.name(i), depth + 1)) {
                    return false;
                }
            } else {
                const LookUpResult found = fs_.lookUp(folder, entries.name(i));
                if (found.error != 0 || found.kind != kind ||
                    (kind == EntryKind::File &&
                     (found.links > 1 || (rules_.refuseReadOnly && !found.ownerWritable)))) {
                    return false;
                }
                const TimeAtStep time = TimeOnStep(found.modified, rules_.timeStep);
                AppendNumber(out_, static_cast<std::int64_t>(found.size));
                AppendNumber(out_, time.step);
                AppendNumber(out_, time.within);
                ++files;
            }
            if (out_.size() > rules_.limit) {
                return false;
            }
        }
        // Names are never empty, so a NUL where a name would start ends the folder.
        out_.push_back('\0');
        return true;
    }

    FileSystem& fs_;
    const TreeRules& rules_;
    std::string& out_;
};

} // namespace

bool DescribeTree(FileSystem& fs, FolderHandle parent, const char* name, const TreeRules& rules,
                  std::string& description, std::size_t& files) {
    description.clear();
    Describer describer(fs, rules, description);
    const bool described = describer.describe(parent, name, 0);
    files = describer.files;
    return described && files > 0;
}

TimeAtStep TimeOnStep(const FileTime& time, std::int64_t step) {
    if (step <= 1) {
        return {time.seconds, time.nanoseconds};
    }
    if (step < kNanosecondsPerSecond) {
        return {time.seconds, time.nanoseconds / step};
    }
    const std::int64_t seconds = step / kNanosecondsPerSecond;
    const std::int64_t value = time.seconds;
    return {value >= 0 ? value / seconds : -((-value + seconds - 1) / seconds), 0};
}

int OpenBelow(FileSystem& fs, FolderHandle root, std::string_view key, FolderHandle& folder) {
    folder = root;
    for (std::size_t at = 0; at < key.size();) {
        const std::size_t end = key.find('\0', at);
        FolderHandle next = kNoFolder;
        const int error = fs.openFolder(folder, key.data() + at, next);
        if (folder != root) {
            fs.closeFolder(folder);
        }
        if (error != 0) {
            folder = kNoFolder;
            return error;
        }
        folder = next;
        at = end + 1;
    }
    return 0;
}

} // namespace kestrova
