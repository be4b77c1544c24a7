// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "sync/PrunePass.h"

#include "fs/FolderListing.h"
#include "fs/TargetNames.h"
#include "sync/FolderChain.h"
#include "sync/PairCheck.h"
#include "sync/PrunePlan.h"
#include "sync/SyncRun.h"

#include <cerrno>
#include <deque>
#include <string_view>
#include <vector>

namespace kestrova {

namespace {

bool CounterpartMissing(int error) {
    return error == ENOENT || error == ENOTDIR;
}

class PruneWalk {
public:
    explicit PruneWalk(PassContext& run) : run_(run), target_(run.fs), source_(run.fs) {}

    bool start(const PairRoots& roots, const PrunePlan& plan) {
        // Without a readable source root every look-up would fail and the whole
        // target would go; nothing is pruned then.
        FolderIdentity targetRoot;
        if (source_.openRoot(roots.source) != 0 ||
            run_.fs.identify(source_.handle(), sourceIdentity_) != 0 ||
            target_.openRoot(roots.target) != 0 ||
            run_.fs.identify(target_.handle(), targetRoot) != 0) {
            return true;
        }
        targetMount_ = targetRoot.mount;
        targetRoot_ = roots.target;
        path_ = roots.source;
        sourceRootLength_ = path_.size();
        levels_.push_back({openUp(targetRoot.permissions), true, true, false, false,
                           targetRoot.permissions, targetRoot.modified, 0});
        bool goOn = true;
        for (std::size_t i = 0; goOn && i < plan.size(); ++i) {
            if (run_.stopped()) {
                goOn = false;
                break;
            }
            const PrunePlan::Item item = plan.item(i);
            moveTo(item.folder);
            if (item.step == PrunePlan::Step::Delete && levels_.back().acting) {
                goOn = pruneEntry(item.name, item.kind);
            }
        }
        while (levels_.size() > 1) {
            leaveLevel();
        }
        closeDown(levels_.back());
        return goOn;
    }

private:
    FolderListing& listingForDepth(std::deque<FolderListing>& listings) {
        while (listings.size() <= target_.depth()) {
            listings.emplace_back();
        }
        return listings[target_.depth()];
    }

    // One folder of the chain the pass is in, from the target root down.
    struct Level {
        bool opened;      // its permission bits were opened up, to be put back
        bool entered;     // the target and source chains went into it
        bool acting;      // the pass may delete in it
        bool foldedBuilt; // the source's names by case are at hand
        bool deletedIn;   // the pass deleted something in it, which changed its time
        unsigned permissions;
        FileTime modified;    // its time before the pass, which the copy pass set
        std::size_t pathMark; // length of path_ before its name
    };

    // Goes from the folder in hand to the plan's folder `folder`, through the
    // deepest folder the two share.
    void moveTo(std::string_view folder) {
        std::size_t common = 0;
        std::size_t commonLevels = 0;
        while (common < folder.size() && common < current_.size()) {
            const std::size_t end = folder.find('\0', common);
            if (current_.compare(common, end + 1 - common, folder, common, end + 1 - common) != 0) {
                break;
            }
            common = end + 1;
            ++commonLevels;
        }
        while (levels_.size() > commonLevels + 1) {
            leaveLevel();
        }
        current_.resize(common);
        ForEachName(folder.substr(common), [this](const char* name) {
            enterLevel(name);
            current_.append(name);
            current_.push_back('\0');
        });
    }

    void enterLevel(const char* name) {
        Level level{false, false, false, false, false, 0, {}, path_.size()};
        AppendName(path_, name);
        if (levels_.back().acting) {
            level.entered = true;
            FolderIdentity folder;
            if (target_.enter(name) == 0 && mayActInside(folder)) {
                level.acting = true;
                level.permissions = folder.permissions;
                level.modified = folder.modified;
                level.opened = openUp(folder.permissions);
            }
            source_.enter(name); // a failure is kept in the chain and answers the look-ups
        }
        levels_.push_back(level);
    }

    void leaveLevel() {
        const Level level = levels_.back();
        if (level.acting) {
            closeDown(level);
        }
        if (level.entered) {
            source_.leave();
            target_.leave();
        }
        path_.resize(level.pathMark);
        levels_.pop_back();
    }

    // Deletes the planned entry `name` of the folder in hand unless its source
    // counterpart, looked up now, exists and is of a kind that leaves it room.
    bool pruneEntry(const char* name, EntryKind kind) {
        const bool isFolder = kind == EntryKind::Folder;
        int error = 0;
        EntryKind sourceKind = EntryKind::Special;
        const FolderHandle source = source_.handle();
        if (source == kNoFolder) {
            error = source_.error();
        } else {
            const LookUpResult found = run_.fs.lookUp(source, name);
            error = found.error;
            sourceKind = found.kind;
            // Where the target does not tell names apart by case, a source entry whose
            // name differs in case only is its counterpart.
            if (error == ENOENT && run_.targetNames.caseInsensitive) {
                const std::size_t counterpart = foldedSource(source, name, error);
                if (counterpart != FoldedNames::kNone) {
                    error = 0;
                    sourceKind = listingForDepth(sourceListings_).kind(counterpart);
                }
            }
        }
        // A folder where the source has a file, link or special file (or the reverse) is
        // in the way of the source entry: it goes as if missing.
        if (error == 0 && (sourceKind == EntryKind::Folder) != isFolder) {
            error = ENOENT;
            run_.clearedOtherKinds = true;
        }
        const std::size_t mark = path_.size();
        AppendName(path_, name);
        bool goOn = true;
        if (isFolder) {
            if (CounterpartMissing(error)) {
                goOn = DeleteTree(name);
            }
        } else {
            run_.window.setStatusLine(path_);
            if (CounterpartMissing(error)) {
                deleteEntry(name, kind);
            }
        }
        path_.resize(mark);
        return goOn;
    }

    // The index of the entry of the source folder `source` whose name matches `name`
    // regardless of case, or kNone. The source's names are read once per folder; a
    // failure to read them is left in `error`.
    std::size_t foldedSource(FolderHandle source, const char* name, int& error) {
        FolderListing& names = listingForDepth(sourceListings_);
        while (foldedSources_.size() <= target_.depth()) {
            foldedSources_.emplace_back();
        }
        FoldedNames& folded = foldedSources_[target_.depth()];
        Level& level = levels_.back();
        if (!level.foldedBuilt) {
            if (const int listed = run_.fs.enumerate(source, names); listed != 0) {
                error = listed;
                return FoldedNames::kNone;
            }
            folded.build(names);
            level.foldedBuilt = true;
        }
        return folded.find(name);
    }

    // Whether the walk may act inside the folder just entered in the target chain: not
    // when it is the source root, nor when it lies on another mount than the target
    // root (a mount point inside the target, which may show anything, the source
    // included). Such a folder is left alone and its path listed as failed.
    bool mayActInside(FolderIdentity& identity) {
        if (run_.fs.identify(target_.handle(), identity) != 0) {
            return false;
        }
        if (identity == sourceIdentity_ || identity.mount != targetMount_) {
            run_.leftAlone.emplace_back(targetRoot_ + path_.substr(sourceRootLength_),
                                        kReasonMountPoint);
            return false;
        }
        return true;
    }

    // Lets the owner delete in the current target folder while the walk is in it: a
    // folder mirrored from a read-only source folder is read-only too. Returns whether
    // its bits were changed, to be put back by closeDown.
    bool openUp(unsigned permissions) {
        return (permissions & 0300u) != 0300u &&
               run_.fs.setPermissions(target_.handle(), permissions | 0300u) == 0;
    }
    void closeDown(bool opened, unsigned permissions) {
        if (opened) {
            run_.fs.setPermissions(target_.handle(), permissions);
        }
    }
    // Leaves the folder in hand as the copy pass left it: its permission bits, and its
    // time where a deletion changed it.
    void closeDown(const Level& level) {
        closeDown(level.opened, level.permissions);
        if (level.deletedIn) {
            run_.fs.setFolderTime(target_.handle(), level.modified);
        }
    }

    // Counts, and lists when asked, the entry whose mapped source path is path_ as
    // deleted; a folder is shown with the platform's separator at its end.
    void deletedOne(bool folder) {
        ++run_.deleted;
        if (run_.listDeleted) {
            std::string path = targetRoot_ + path_.substr(sourceRootLength_);
            if (folder) {
                AppendName(path, "");
            }
            g_deletedFiles.add(path);
        }
    }

    // Deletes a file, link or special file (path_ names it), unless it is read-only.
    // A deletion that fails for a reason of the run's own is listed with it; the want
    // of a trash is said once for the pair instead.
    void deleteEntry(const char* name, EntryKind kind) {
        const FolderHandle folder = target_.handle();
        if (kind == EntryKind::File) {
            const LookUpResult self = run_.fs.lookUp(folder, name);
            if (self.error != 0 || (self.kind == EntryKind::File && !self.ownerWritable)) {
                return;
            }
        }
        const int error = run_.fs.deleteFile(folder, name);
        if (error == 0) {
            levels_.back().deletedIn = true;
            deletedOne(false);
        } else if (error < 0 && error != kReasonNoTrash) {
            run_.leftAlone.emplace_back(targetRoot_ + path_.substr(sourceRootLength_), error);
        }
    }

    // Removes the target sub-folder `name` (whose mapped source path is path_) with
    // everything in it, links as links.
    bool DeleteTree(const char* name) {
        bool goOn = true;
        FolderIdentity self;
        if (target_.enter(name) == 0) {
            if (!mayActInside(self)) {
                target_.leave();
                return true;
            }
            const bool opened = openUp(self.permissions);
            FolderListing& entries = listingForDepth(listings_);
            const FolderHandle folder = target_.handle();
            if (folder != kNoFolder && run_.fs.enumerate(folder, entries) == 0) {
                for (std::size_t i = 0; goOn && i < entries.size(); ++i) {
                    if (run_.stopped()) {
                        goOn = false;
                        break;
                    }
                    const std::size_t mark = path_.size();
                    AppendName(path_, entries.name(i));
                    if (entries.kind(i) == EntryKind::Folder) {
                        goOn = DeleteTree(entries.name(i));
                    } else {
                        deleteEntry(entries.name(i), entries.kind(i));
                    }
                    path_.resize(mark);
                }
            }
            closeDown(opened, self.permissions); // matters only when something resisted
        }
        target_.leave();
        // Fails while anything resisted.
        if (goOn && run_.fs.removeFolder(target_.handle(), name) == 0) {
            levels_.back().deletedIn = true;
            deletedOne(true);
        }
        return goOn;
    }

    PassContext& run_;
    FolderChain target_;
    FolderChain source_;
    std::deque<FolderListing> listings_;       // target folders, one per depth
    std::deque<FolderListing> sourceListings_; // their source counterparts
    std::deque<FoldedNames> foldedSources_;    // those by name regardless of case
    std::vector<Level> levels_;                // the folders the pass is in, the root first
    std::string current_;                      // the plan's name of the folder in hand
    std::string path_;                         // mapped source path of the entry in hand
    std::size_t sourceRootLength_ = 0;
    std::string targetRoot_;
    FolderIdentity sourceIdentity_;
    std::uint64_t targetMount_ = 0;
};

} // namespace

bool SourceEmptyTargetNot(FileSystem& fs, const PairRoots& roots) {
    FolderListing entries;
    const auto count = [&](const std::string& root) -> std::size_t {
        FolderHandle folder = kNoFolder;
        if (fs.openRoot(root, folder) != 0) {
            return 0;
        }
        const int error = fs.enumerate(folder, entries);
        fs.closeFolder(folder);
        return error == 0 ? entries.size() : 0;
    };
    return count(roots.source) == 0 && count(roots.target) > 0;
}

bool PrunePass(PassContext& run, const PairRoots& roots, const PrunePlan& plan) {
    if (plan.empty()) {
        return !run.stopped();
    }
    PruneWalk walk(run);
    return walk.start(roots, plan) && !run.stopped();
}

} // namespace kestrova
