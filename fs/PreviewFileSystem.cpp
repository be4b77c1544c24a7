// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "fs/PreviewFileSystem.h"

#include "fs/FolderListing.h"

#include <cerrno>
#include <vector>

namespace kestrova {

namespace {

LookUpResult Missing() {
    LookUpResult result;
    result.error = ENOENT;
    return result;
}

} // namespace

bool PreviewFileSystem::placeOf(FolderHandle folder, Place& place) {
    if (isStandIn(folder)) {
        place = {0, static_cast<std::uint64_t>(folder - kFirstStandIn)};
        return true;
    }
    const auto known = places_.find(folder);
    if (known != places_.end()) {
        place = known->second;
        return true;
    }
    FolderIdentity identity;
    if (base_.identify(folder, identity) != 0) {
        return false;
    }
    place = {identity.device, identity.inode};
    places_.emplace(folder, place);
    return true;
}

const PreviewFileSystem::Change* PreviewFileSystem::changeOf(FolderHandle folder, const char* name,
                                                             Place& place) {
    if (changes_.empty() && !isStandIn(folder)) {
        return nullptr; // nothing remembered yet: no need to identify the folder
    }
    if (!placeOf(folder, place)) {
        return nullptr;
    }
    const auto change = changes_.find({place, name});
    return change == changes_.end() ? nullptr : &change->second;
}

FolderHandle PreviewFileSystem::addStandIn(const Place& parent, std::uint64_t mount,
                                           const char* name) {
    const FolderHandle handle = kFirstStandIn + static_cast<FolderHandle>(standIns_.size());
    standIns_.emplace(handle, StandIn{parent, mount});
    Change created{Change::What::Created, {}, handle};
    changes_.insert_or_assign({parent, name}, created);
    return handle;
}

int PreviewFileSystem::openRoot(const std::string& path, FolderHandle& folder) {
    return base_.openRoot(path, folder);
}

int PreviewFileSystem::openFolder(FolderHandle parent, const char* name, FolderHandle& folder) {
    std::lock_guard lock(mutex_);
    Place place{};
    if (const Change* change = changeOf(parent, name, place)) {
        if (change->what == Change::What::Created) {
            folder = change->standIn;
            return 0;
        }
        return change->what == Change::What::Deleted ? ENOENT : ENOTDIR;
    }
    if (isStandIn(parent)) {
        return ENOENT;
    }
    return base_.openFolder(parent, name, folder);
}

void PreviewFileSystem::closeFolder(FolderHandle folder) {
    if (isStandIn(folder) || folder == kNoFolder) {
        return;
    }
    {
        std::lock_guard lock(mutex_);
        places_.erase(folder); // the number may name another folder once reused
    }
    base_.closeFolder(folder);
}

int PreviewFileSystem::identify(FolderHandle folder, FolderIdentity& identity) {
    if (!isStandIn(folder)) {
        return base_.identify(folder, identity);
    }
    std::lock_guard lock(mutex_);
    identity = {0, static_cast<std::uint64_t>(folder - kFirstStandIn), standIns_.at(folder).mount,
                0700};
    return 0;
}

int PreviewFileSystem::enumerate(FolderHandle folder, FolderListing& listing) {
    const int error = isStandIn(folder) ? 0 : base_.enumerate(folder, listing);
    if (isStandIn(folder)) {
        listing.clear();
    }
    std::lock_guard lock(mutex_);
    Place place{};
    if (error != 0 || changes_.empty() || !placeOf(folder, place)) {
        return error;
    }
    // Names the run would have deleted are left out, and what it would have copied or
    // made is listed, as a real folder would list them.
    const auto first = changes_.lower_bound({place, std::string()});
    auto inFolder = [&place](const auto& at) {
        return !(at->first.first < place) && !(place < at->first.first);
    };
    if (first == changes_.end() || !inFolder(first)) {
        return 0;
    }
    std::vector<std::pair<std::string, EntryKind>> kept;
    for (std::size_t i = 0; i < listing.size(); ++i) {
        if (changes_.find({place, listing.name(i)}) == changes_.end()) {
            kept.emplace_back(listing.nameView(i), listing.kind(i));
        }
    }
    for (auto at = first; at != changes_.end() && inFolder(at); ++at) {
        switch (at->second.what) {
        case Change::What::Deleted:
            break;
        case Change::What::Copied:
            kept.emplace_back(at->first.second, at->second.copied.kind);
            break;
        case Change::What::Created:
            kept.emplace_back(at->first.second, EntryKind::Folder);
            break;
        }
    }
    listing.clear();
    for (const auto& [name, kind] : kept) {
        listing.add(name, kind);
    }
    listing.sortBy(
        [this](std::string_view a, std::string_view b) { return compareNames(a, b) < 0; });
    return 0;
}

LookUpResult PreviewFileSystem::lookUp(FolderHandle folder, const char* name) {
    {
        std::lock_guard lock(mutex_);
        Place place{};
        if (const Change* change = changeOf(folder, name, place)) {
            switch (change->what) {
            case Change::What::Deleted:
                return Missing();
            case Change::What::Copied:
                return change->copied;
            case Change::What::Created:
                return {0, EntryKind::Folder, {}, true};
            }
        }
        if (isStandIn(folder)) {
            return Missing();
        }
    }
    return base_.lookUp(folder, name);
}

CopyOutcome PreviewFileSystem::copy(FolderHandle from, FolderHandle to, const char* name,
                                    EntryKind kind, const std::atomic<bool>& stop) {
    if (stop) {
        return CopyOutcome::Stopped;
    }
    LookUpResult source = lookUp(from, name);
    if (source.error != 0) {
        errno = source.error;
        return CopyOutcome::Failed;
    }
    source.kind = kind;
    source.ownerWritable = true;
    std::lock_guard lock(mutex_);
    Place place{};
    if (!placeOf(to, place)) {
        return CopyOutcome::Failed;
    }
    changes_.insert_or_assign({place, name}, Change{Change::What::Copied, source, {}});
    return CopyOutcome::Copied;
}

int PreviewFileSystem::createFolder(FolderHandle parent, const char* name) {
    if (lookUp(parent, name).error == 0) {
        return EEXIST;
    }
    std::lock_guard lock(mutex_);
    Place place{};
    if (!placeOf(parent, place)) {
        return EIO;
    }
    FolderIdentity identity;
    std::uint64_t mount = 0;
    if (isStandIn(parent)) {
        mount = standIns_.at(parent).mount;
    } else if (base_.identify(parent, identity) == 0) {
        mount = identity.mount;
    }
    addStandIn(place, mount, name);
    return 0;
}

int PreviewFileSystem::copyAttributes(FolderHandle, FolderHandle) {
    return 0;
}

std::int64_t PreviewFileSystem::timeStep(FolderHandle folder) {
    return isStandIn(folder) ? 1 : base_.timeStep(folder);
}

int PreviewFileSystem::deleteFile(FolderHandle parent, const char* name) {
    const LookUpResult entry = lookUp(parent, name);
    if (entry.error != 0) {
        return entry.error;
    }
    if (entry.kind == EntryKind::Folder) {
        return EISDIR;
    }
    std::lock_guard lock(mutex_);
    Place place{};
    if (!placeOf(parent, place)) {
        return EIO;
    }
    changes_.insert_or_assign({place, name}, Change{Change::What::Deleted, {}, {}});
    return 0;
}

// A folder goes only when everything in it would have gone, as a real removal of a
// folder that something resisted fails.
int PreviewFileSystem::removeFolder(FolderHandle parent, const char* name) {
    FolderHandle folder = kNoFolder;
    const int error = openFolder(parent, name, folder);
    if (error != 0) {
        return error;
    }
    FolderListing left;
    const int listed = enumerate(folder, left);
    closeFolder(folder);
    if (listed != 0) {
        return listed;
    }
    if (left.size() != 0) {
        return ENOTEMPTY;
    }
    const bool real = !isStandIn(parent) && base_.lookUp(parent, name).error != ENOENT;
    std::lock_guard lock(mutex_);
    Place place{};
    if (!placeOf(parent, place)) {
        return EIO;
    }
    if (isStandIn(folder)) {
        // A stand-in holds what the run would have put in it.
        const Place inside{0, static_cast<std::uint64_t>(folder - kFirstStandIn)};
        for (auto at = changes_.lower_bound({inside, std::string()});
             at != changes_.end() && !(inside < at->first.first); ++at) {
            if (at->second.what != Change::What::Deleted) {
                return ENOTEMPTY;
            }
        }
    }
    if (real) {
        changes_.insert_or_assign({place, name}, Change{Change::What::Deleted, {}, {}});
    } else {
        // A stand-in that goes again leaves the name as the file system has it: absent.
        changes_.erase({place, name});
    }
    return 0;
}

// Files and links only: a renamed folder would need every name beneath it moved.
int PreviewFileSystem::renameEntry(FolderHandle folder, const char* from, const char* to) {
    LookUpResult entry = lookUp(folder, from);
    if (entry.error != 0) {
        return entry.error;
    }
    if (entry.kind == EntryKind::Folder) {
        return ENOTSUP;
    }
    std::lock_guard lock(mutex_);
    Place place{};
    if (!placeOf(folder, place)) {
        return EIO;
    }
    changes_.insert_or_assign({place, from}, Change{Change::What::Deleted, {}, {}});
    changes_.insert_or_assign({place, to}, Change{Change::What::Copied, entry, {}});
    return 0;
}

int PreviewFileSystem::moveEntry(FolderHandle fromFolder, const char* from, FolderHandle,
                                 const char*) {
    const LookUpResult entry = lookUp(fromFolder, from);
    if (entry.error != 0) {
        return entry.error;
    }
    std::lock_guard lock(mutex_);
    Place place{};
    if (!placeOf(fromFolder, place)) {
        return EIO;
    }
    changes_.insert_or_assign({place, from}, Change{Change::What::Deleted, {}, {}});
    return 0;
}

int PreviewFileSystem::setPermissions(FolderHandle, unsigned) {
    return 0;
}

int PreviewFileSystem::setOwner(FolderHandle, std::uint32_t, std::uint32_t) {
    return 0;
}

int PreviewFileSystem::setFolderTime(FolderHandle, const FileTime&) {
    return 0;
}

int PreviewFileSystem::linkFile(FolderHandle, std::string_view, FolderHandle, const char*) {
    return ENOTSUP;
}

int PreviewFileSystem::lockFolder(FolderHandle folder) {
    return isStandIn(folder) ? 0 : base_.lockFolder(folder);
}

} // namespace kestrova
