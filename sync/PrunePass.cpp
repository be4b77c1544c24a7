#include "sync/PrunePass.h"

#include "sync/FolderChain.h"
#include "sync/FolderListing.h"
#include "sync/PairCheck.h"
#include "sync/SyncRun.h"
#include "sync/TargetNames.h"

#include <cerrno>
#include <deque>

namespace kestrova {

namespace {

bool CounterpartMissing(int error) {
    return error == ENOENT || error == ENOTDIR;
}

class PruneWalk {
public:
    explicit PruneWalk(PassContext& run) : run_(run), target_(run.fs), source_(run.fs) {}

    bool start(const PairRoots& roots) {
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
        const bool opened = openUp(targetRoot.permissions);
        const bool goOn = pruneFolder();
        closeDown(opened, targetRoot.permissions);
        return goOn;
    }

private:
    FolderListing& listingForDepth(std::deque<FolderListing>& listings) {
        return listingForDepth(listings, target_.depth());
    }
    static FolderListing& listingForDepth(std::deque<FolderListing>& listings, std::size_t depth) {
        while (listings.size() <= depth) {
            listings.emplace_back();
        }
        return listings[depth];
    }

    FoldedNames& foldedForDepth(std::size_t depth) {
        while (foldedSources_.size() <= depth) {
            foldedSources_.emplace_back();
        }
        return foldedSources_[depth];
    }

    // Reads the names of the source folder matching the current target folder. Returns
    // 0, or the error that every look-up in that folder would give.
    int listSource(FolderListing& names) {
        const FolderHandle folder = source_.handle();
        if (folder == kNoFolder) {
            return source_.error();
        }
        return run_.fs.enumerate(folder, names);
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
            run_.leftAlone.push_back(targetRoot_ + path_.substr(sourceRootLength_));
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
    void deleteEntry(const char* name, EntryKind kind) {
        const FolderHandle folder = target_.handle();
        if (kind == EntryKind::File) {
            const LookUpResult self = run_.fs.lookUp(folder, name);
            if (self.error != 0 || (self.kind == EntryKind::File && !self.ownerWritable)) {
                return;
            }
        }
        if (run_.fs.deleteFile(folder, name) == 0) {
            deletedOne(false);
        }
    }

    bool pruneFolder() {
        const std::size_t depth = target_.depth();
        FolderListing& entries = listingForDepth(listings_);
        const FolderHandle folder = target_.handle();
        if (folder == kNoFolder || run_.fs.enumerate(folder, entries) != 0) {
            return true;
        }
        // Both listings are in the port's name order, so one merge answers every look-up.
        FolderListing& sourceNames = listingForDepth(sourceListings_, depth);
        const int sourceError = listSource(sourceNames);
        // Where the target does not tell names apart by case, a target entry whose
        // name differs from its source's in case only is its counterpart.
        FoldedNames* folded = nullptr;
        if (run_.targetNames.caseInsensitive && sourceError == 0) {
            folded = &foldedForDepth(depth);
            folded->build(sourceNames);
        }
        std::size_t next = 0;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (run_.stopped()) {
                return false;
            }
            const char* name = entries.name(i);
            const bool isFolder = entries.kind(i) == EntryKind::Folder;
            int error = sourceError;
            std::size_t counterpart = FoldedNames::kNone;
            if (error == 0) {
                while (next < sourceNames.size() &&
                       run_.fs.compareNames(sourceNames.nameView(next), entries.nameView(i)) < 0) {
                    ++next;
                }
                bool found =
                    next < sourceNames.size() &&
                    run_.fs.compareNames(sourceNames.nameView(next), entries.nameView(i)) == 0;
                counterpart = found ? next : FoldedNames::kNone;
                if (!found && folded != nullptr) {
                    counterpart = folded->find(entries.nameView(i));
                    found = counterpart != FoldedNames::kNone;
                }
                error = found ? 0 : ENOENT;
                // A folder where the source has a file or link (or the reverse) is in
                // the way of the source entry: it goes as if missing. A special file
                // in the source is never copied, so it makes no room for itself.
                const EntryKind sourceKind =
                    found ? sourceNames.kind(counterpart) : EntryKind::Special;
                if (sourceKind != EntryKind::Special &&
                    (sourceKind == EntryKind::Folder) != isFolder) {
                    error = ENOENT;
                    run_.clearedOtherKinds = true;
                }
            }
            const std::size_t mark = path_.size();
            AppendName(path_, name);
            bool goOn = true;
            if (isFolder) {
                goOn = pruneSubFolder(
                    name, counterpart == FoldedNames::kNone ? name : sourceNames.name(counterpart),
                    error);
            } else {
                run_.window.setStatusLine(path_);
                if (CounterpartMissing(error)) {
                    deleteEntry(name, entries.kind(i));
                }
            }
            path_.resize(mark);
            if (!goOn) {
                return false;
            }
        }
        return true;
    }

    // `error` is what looking up the folder's counterpart `sourceName` in the source gave.
    bool pruneSubFolder(const char* name, const char* sourceName, int error) {
        if (CounterpartMissing(error)) {
            return DeleteTree(name);
        }
        if (error != 0) {
            return true;
        }
        bool goOn = true;
        FolderIdentity folder;
        if (target_.enter(name) == 0 && mayActInside(folder)) {
            const bool opened = openUp(folder.permissions);
            source_.enter(sourceName); // a failure is kept in the chain and answers the look-ups
            goOn = pruneFolder();
            source_.leave();
            closeDown(opened, folder.permissions);
        }
        target_.leave();
        return goOn;
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

bool PrunePass(PassContext& run, const PairRoots& roots) {
    PruneWalk walk(run);
    return walk.start(roots) && !run.stopped();
}

} // namespace kestrova
