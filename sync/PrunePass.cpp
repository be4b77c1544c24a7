#include "sync/PrunePass.h"

#include "sync/FolderChain.h"
#include "sync/FolderListing.h"

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
        if (source_.openRoot(roots.source) != 0 ||
            run_.fs.identify(source_.handle(), sourceIdentity_) != 0 ||
            target_.openRoot(roots.target) != 0) {
            return true;
        }
        path_ = roots.source;
        return pruneFolder();
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

    // Reads the names of the source folder matching the current target folder. Returns
    // 0, or the error that every look-up in that folder would give.
    int listSource(FolderListing& names) {
        const FolderHandle folder = source_.handle();
        if (folder == kNoFolder) {
            return source_.error();
        }
        return run_.fs.enumerate(folder, names);
    }

    // Whether the folder just entered in the target chain is the source root itself.
    bool isSourceRoot() {
        FolderIdentity identity;
        return run_.fs.identify(target_.handle(), identity) != 0 || identity == sourceIdentity_;
    }

    // Deletes a file, link or special file, unless it is read-only.
    void deleteEntry(const char* name, EntryKind kind) {
        const FolderHandle folder = target_.handle();
        if (kind == EntryKind::File) {
            const LookUpResult self = run_.fs.lookUp(folder, name);
            if (self.error != 0 || (self.kind == EntryKind::File && !self.ownerWritable)) {
                return;
            }
        }
        run_.fs.deleteFile(folder, name);
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
        std::size_t next = 0;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (run_.stopped()) {
                return false;
            }
            const char* name = entries.name(i);
            int error = sourceError;
            if (error == 0) {
                while (next < sourceNames.size() &&
                       run_.fs.compareNames(sourceNames.nameView(next), entries.nameView(i)) < 0) {
                    ++next;
                }
                const bool found =
                    next < sourceNames.size() &&
                    run_.fs.compareNames(sourceNames.nameView(next), entries.nameView(i)) == 0;
                error = found ? 0 : ENOENT;
            }
            const std::size_t mark = path_.size();
            AppendName(path_, name);
            bool goOn = true;
            if (entries.kind(i) == EntryKind::Folder) {
                goOn = pruneSubFolder(name, error);
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

    // `error` is what looking up the folder's counterpart in the source gave.
    bool pruneSubFolder(const char* name, int error) {
        if (CounterpartMissing(error)) {
            return DeleteTree(name);
        }
        if (error != 0) {
            return true;
        }
        bool goOn = true;
        if (target_.enter(name) == 0 && !isSourceRoot()) {
            source_.enter(name); // a failure is kept in the chain and answers the look-ups
            goOn = pruneFolder();
            source_.leave();
        }
        target_.leave();
        return goOn;
    }

    // Removes the target sub-folder `name` with everything in it, links as links.
    bool DeleteTree(const char* name) {
        bool goOn = true;
        if (target_.enter(name) == 0) {
            if (isSourceRoot()) {
                target_.leave();
                return true;
            }
            FolderListing& entries = listingForDepth(listings_);
            const FolderHandle folder = target_.handle();
            if (folder != kNoFolder && run_.fs.enumerate(folder, entries) == 0) {
                for (std::size_t i = 0; goOn && i < entries.size(); ++i) {
                    if (run_.stopped()) {
                        goOn = false;
                    } else if (entries.kind(i) == EntryKind::Folder) {
                        goOn = DeleteTree(entries.name(i));
                    } else {
                        deleteEntry(entries.name(i), entries.kind(i));
                    }
                }
            }
        }
        target_.leave();
        if (goOn) {
            run_.fs.removeFolder(target_.handle(), name); // fails while anything resisted
        }
        return goOn;
    }

    PassContext& run_;
    FolderChain target_;
    FolderChain source_;
    std::deque<FolderListing> listings_;       // target folders, one per depth
    std::deque<FolderListing> sourceListings_; // their source counterparts
    std::string path_;                         // mapped source path of the entry in hand
    FolderIdentity sourceIdentity_;
};

} // namespace

bool PrunePass(PassContext& run, const PairRoots& roots) {
    PruneWalk walk(run);
    return walk.start(roots) && !run.stopped();
}

} // namespace kestrova
