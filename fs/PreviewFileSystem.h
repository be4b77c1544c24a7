// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "fs/FileSystem.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <tuple>
#include <unordered_map>

namespace kestrova {

// A port for a run that must change nothing: reads go to `base`, writes are only
// remembered, and later reads see what was remembered, so that a run over it walks
// and decides exactly as a real run would. A copy leaves its target name looking
// like the source entry, a deletion hides the name, and a folder the run would
// create is a stand-in that exists only here: it holds nothing but what the run
// would put in it. Copies (and only copies) may run on several threads at once.
class PreviewFileSystem : public FileSystem {
public:
    explicit PreviewFileSystem(FileSystem& base) : base_(base) {}

    int openRoot(const std::string& path, FolderHandle& folder) override;
    int openFolder(FolderHandle parent, const char* name, FolderHandle& folder) override;
    void closeFolder(FolderHandle folder) override;
    int identify(FolderHandle folder, FolderIdentity& identity) override;
    int enumerate(FolderHandle folder, FolderListing& listing) override;
    int compareNames(std::string_view a, std::string_view b) const override {
        return base_.compareNames(a, b);
    }
    LookUpResult lookUp(FolderHandle folder, const char* name) override;
    CopyOutcome copy(FolderHandle from, FolderHandle to, const char* name, EntryKind kind,
                     const std::atomic<bool>& stop) override;
    int createFolder(FolderHandle parent, const char* name) override;
    int copyAttributes(FolderHandle from, FolderHandle to) override;
    std::int64_t timeStep(FolderHandle folder) override;
    int deleteFile(FolderHandle parent, const char* name) override;
    int removeFolder(FolderHandle parent, const char* name) override;
    int renameEntry(FolderHandle folder, const char* from, const char* to) override;
    // Hides the entry where it was; the run does not look into its new place.
    int moveEntry(FolderHandle fromFolder, const char* from, FolderHandle toFolder,
                  const char* to) override;
    int setPermissions(FolderHandle folder, unsigned permissions) override;
    int setOwner(FolderHandle folder, std::uint32_t owner, std::uint32_t group) override;
    int setFolderTime(FolderHandle folder, const FileTime& modified) override;
    // Remembered as nothing: the caller then copies, which is remembered.
    int linkFile(FolderHandle root, std::string_view path, FolderHandle to,
                 const char* name) override;
    int lockFolder(FolderHandle folder) override;
    // Nothing was written, so nothing is made durable or marked.
    int makeDurable(FolderHandle) override { return 0; }
    void markUnsettled(FolderHandle) override {}
    bool unsettled(FolderHandle root) override { return !isStandIn(root) && base_.unsettled(root); }

private:
    // A folder as the remembered changes name it: a real folder by its device and
    // inode, a stand-in by its number (device 0).
    struct Place {
        std::uint64_t device;
        std::uint64_t inode;
        friend bool operator<(const Place& a, const Place& b) {
            return std::tie(a.device, a.inode) < std::tie(b.device, b.inode);
        }
    };
    struct Change {
        enum class What : std::uint8_t { Deleted, Copied, Created };
        What what;
        LookUpResult copied;    // Copied: what the name now looks like
        FolderHandle standIn{}; // Created: the stand-in folder
    };
    struct StandIn {
        Place parent;
        std::uint64_t mount;
    };
    using Key = std::pair<Place, std::string>;
    // Names within a folder match as the file system below matches them: on Windows
    // "A.TXT" and "a.txt" are one entry.
    struct KeyOrder {
        const FileSystem* fs;
        bool operator()(const Key& a, const Key& b) const {
            if (a.first < b.first || b.first < a.first) {
                return a.first < b.first;
            }
            return fs->compareNames(a.second, b.second) < 0;
        }
    };

    // Stand-in handles lie far above any descriptor number.
    static constexpr FolderHandle kFirstStandIn = 0x40000000;
    static bool isStandIn(FolderHandle folder) { return folder >= kFirstStandIn; }

    // Where `folder` is; false when a real folder cannot be identified. The lock held.
    bool placeOf(FolderHandle folder, Place& place);
    // The change remembered for `name` in `folder`, or null. The lock held.
    const Change* changeOf(FolderHandle folder, const char* name, Place& place);
    // Remembers a new stand-in folder `name` in `parent`. The lock held.
    FolderHandle addStandIn(const Place& parent, std::uint64_t mount, const char* name);

    FileSystem& base_;
    std::mutex mutex_;
    std::map<Key, Change, KeyOrder> changes_{KeyOrder{&base_}};
    std::unordered_map<FolderHandle, Place> places_; // open real folders identified
    std::unordered_map<FolderHandle, StandIn> standIns_;
};

} // namespace kestrova
