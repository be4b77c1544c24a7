// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "sync/CopyPass.h"

#include "fs/FolderListing.h"
#include "fs/TargetNames.h"
#include "report/SyncStats.h"
#include "report/SyncTexts.h"
#include "sync/CopyQueue.h"
#include "sync/FolderChain.h"
#include "sync/HardLinks.h"
#include "sync/LookAhead.h"
#include "sync/SyncRun.h"
#include "sync/TreeDescription.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <deque>
#include <memory>
#include <unordered_map>
#include <vector>

namespace kestrova {

namespace {

// Copies queued before their outcomes are listed; bounds the memory a huge folder
// takes while keeping the helpers busy.
constexpr std::size_t kMaxQueued = 256;
// Folders left open for queued copies after the walk has left them, at most (two
// descriptors each): enough that the walk seldom waits for copies, which wait for
// the disk when they replace an older copy.
constexpr std::size_t kMaxKeptOpen = 128;
// A new file this large that matches a file about to be pruned under the same name is
// moved there rather than copied; smaller files cost little to copy.
constexpr std::uint64_t kMinMovedFile = std::uint64_t{1} << 20;
// Descriptions of trees about to be pruned kept at once, at most, while looking for
// new folders that match them.
constexpr std::size_t kMaxDescriptions = std::size_t{64} << 20;

// A copy that replaces an older one waits for the disk (see FileSystem::copy), and
// the file system flushes the copies waiting at once together: more copies than cores
// are under way.
unsigned CopyHelpers() {
    return std::clamp(4 * std::thread::hardware_concurrency(), 8u, 16u);
}

// One pair's root as the walk of the other tree sees it. Pairs that nest are refused
// before the run, so only a mount can show this root in the other tree: the folder
// itself, or a mount of part of its file system.
struct OtherRoot {
    FolderIdentity identity;
    bool haveIdentity = false;
    FileSystemPlace place;
    bool havePlace = false;

    void learn(FileSystem& fs, FolderHandle folder, const std::string& path) {
        haveIdentity = folder != kNoFolder && fs.identify(folder, identity) == 0;
        havePlace = PlaceInFileSystem(ResolvedLocation(path), place);
    }
    // Whether `folder`, at `path`, is this root or lies inside it; `crossed` tells that
    // the walk reached it across a mount.
    bool holds(const FolderIdentity& folder, bool crossed, const std::string& path) const {
        if (haveIdentity && folder == identity) {
            return true;
        }
        FileSystemPlace at;
        return crossed && havePlace && PlaceInFileSystem(ResolvedLocation(path), at) &&
               at.device == place.device && SameOrInside(at.path, place.path);
    }
};

// Gives `list`, which holds the second walk's lines, the first walk's lines `first`
// with the second's put in: for each cut, the first's lines up to `cut.first`, then
// the second's from `cut.second` up to the next cut's. Where a text cannot be read
// back, the first's lines come before the second's: nothing is lost.
void SpliceList(FileList& list, const SpooledText& first,
                const std::vector<std::pair<std::uint64_t, std::uint64_t>>& cuts) {
    SpooledText second;
    list.moveTo(second);
    SpooledText merged;
    const auto copy = [&merged](const SpooledText& text, std::uint64_t from, std::uint64_t to) {
        return from >= to || text.forEachPiece(from, to, [&merged](std::string_view piece) {
            merged.append(piece);
        });
    };
    bool read = true;
    std::uint64_t taken = 0;
    for (std::size_t k = 0; k < cuts.size(); ++k) {
        const std::uint64_t at = std::max(cuts[k].first, taken);
        const std::uint64_t end = k + 1 < cuts.size() ? cuts[k + 1].second : second.size();
        read = read && copy(first, taken, at) && copy(second, cuts[k].second, end);
        taken = at;
    }
    read = read && copy(first, taken, first.size()) &&
           (!cuts.empty() || copy(second, 0, second.size()));
    if (!read) {
        merged.clear();
        merged.append(first);
        merged.append(second);
    }
    list.take(merged);
}

class CopyWalk {
public:
    explicit CopyWalk(PassContext& run)
        : run_(run), source_(run.fs), target_(run.fs),
          copies_(run.fs, run.window.stopFlag(), CopyHelpers()) {}

    bool start(const PairRoots& roots) {
        plan_ = run_.prunePlan;
        if (source_.openRoot(roots.source) != 0) {
            return true; // the pair check found it readable; it went away since
        }
        sourceRoot_.learn(run_.fs, source_.handle(), roots.source);
        sourceMount_ = sourceRoot_.identity.mount;
        run_.targetError = target_.openRoot(roots.target);
        if (run_.targetError == 0) {
            targetRoot_.learn(run_.fs, target_.handle(), roots.target);
            targetMount_ = targetRoot_.identity.mount;
            timeStep_ = run_.fs.timeStep(target_.handle());
            run_.targetNames = ProbeTargetNames(run_.fs, target_.handle());
            // Where names match regardless of case, a moved entry could land on a name
            // the source holds in another case: such targets are only ever copied to.
            movesAllowed_ = plan_ != nullptr && !run_.targetNames.caseInsensitive;
            if (run_.fs.readHelpers() > 0) {
                lookAhead_ = std::make_unique<LookAhead>(
                    run_.fs, roots.source, roots.target, run_.targetNames.caseInsensitive,
                    run_.window.stopFlag(), run_.fs.readHelpers());
            }
        } else {
            // Said once for the pair; its entries are then listed without a reason each.
            g_syncStats.filesFailed.fetch_add(1, std::memory_order_relaxed);
            run_.failed(roots.target, {EntryFailure::Step::OpenTarget, run_.targetError});
            reportedTargetDepth_ = 0;
        }
        path_ = roots.source;
        sourceRootLength_ = path_.size();
        targetRootPath_ = roots.target;
        bool goOn = fillFolder(sourceRoot_.haveIdentity ? &sourceRoot_.identity : nullptr, false);
        goOn = finishCopies() && goOn;
        if (goOn && !heldBack_.empty() && !run_.stopped()) {
            goOn = placeHeldBack(roots);
        }
        return goOn;
    }

private:
    // The target folder's entries by their names regardless of case, for a target
    // that does not tell names apart by case.
    struct TargetMatch {
        FoldedNames source;
        FoldedNames target;
    };

    // With the delete option, an entry new in the source is held back from the first
    // walk: where it matches an entry about to be pruned, that entry is moved to its
    // place, and a second walk goes only where held-back entries are, copying those
    // that did not move and giving the folders that changed their right times again.
    enum class Focus : std::uint8_t {
        Normal,  // the first walk: everything
        Whole,   // a held-back entry that did not move, and all below it: copied
        Moved,   // a held-back entry that moved into place
        Through, // a folder on the way to one of the above, created if missing
        Visit,   // a folder an entry moved out of: finished only
        Folders, // below a moved folder: its folders finished, nothing copied
        Skip     // left to the first walk
    };

    // How long each list was at a point of a walk.
    struct ListMarks {
        std::uint64_t updated = 0;
        std::uint64_t failed = 0;
        std::uint64_t specials = 0;
        std::uint64_t failures = 0;
    };
    // The first walk's lists, while the second walk fills its own.
    struct FirstLists {
        SpooledText updated;
        SpooledText failed;
        SpooledText specials;
        std::vector<std::pair<std::string, EntryFailure>> failures;
    };
    static constexpr std::size_t kNotHeld = SIZE_MAX;

    // A new source entry held back from the first walk: the key of its folder, its
    // name, and for a file its size and time; `mount` is its folder's mount; `marks`
    // where the lists stood when the first walk met it.
    struct HeldBack {
        std::string key;
        std::string name;
        EntryKind kind;
        std::uint64_t size;
        FileTime modified;
        std::uint64_t mount;
        bool movedFromRoot = false; // moved, out of the target root
        ListMarks marks;
    };

    template <typename T> static T& forDepth(std::deque<T>& perDepth, std::size_t depth) {
        while (perDepth.size() <= depth) {
            perDepth.emplace_back();
        }
        return perDepth[depth];
    }

    // Copies the entries of the current source folder; false on a stop. `targetNew`
    // tells that the target folder was made just now, so holds nothing. `sourceId` and
    // `targetId` are the two folders' identities where known: what helpers read ahead
    // is used only for the very folders the walk is in.
    bool walkFolder(bool targetNew, const FolderIdentity* sourceId, const FolderIdentity* targetId,
                    std::unique_ptr<FolderFacts> facts) {
        const std::size_t depth = source_.depth();
        FolderListing& entries = forDepth(listings_, depth);
        const FolderHandle folder = source_.handle();
        const bool sourceRead =
            facts != nullptr && sourceId != nullptr && facts->source == *sourceId;
        int error = folder == kNoFolder ? source_.error() : 0;
        if (sourceRead) {
            std::swap(entries, facts->sourceEntries);
        } else if (folder != kNoFolder) {
            error = run_.fs.enumerate(folder, entries);
            if (error == 0 && lookAhead_ != nullptr) {
                lookAhead_->expand(folderKey_, entries);
            }
        }
        if (folder == kNoFolder || error != 0) {
            listFailed({EntryFailure::Step::ReadFolder, error});
            return true;
        }
        // The target's names, read once: a name it lacks needs no look-up, and what it
        // holds beyond the source goes into the prune plan.
        FolderListing& held = forDepth(heldListings_, depth);
        const FolderHandle targetFolder = target_.handle();
        bool haveHeld = targetFolder != kNoFolder;
        const FolderFacts* looks = nullptr;
        if (sourceRead && haveHeld && !targetNew && targetId != nullptr && facts->haveTarget &&
            facts->target == *targetId) {
            std::swap(held, facts->targetEntries);
            looks = facts.get();
        } else if (targetNew || !haveHeld || run_.fs.enumerate(targetFolder, held) != 0) {
            held.clear();
            haveHeld = haveHeld && targetNew;
        }
        TargetMatch* match = nullptr;
        if (run_.targetNames.caseInsensitive) {
            match = &forDepth(matches_, depth);
            match->source.build(entries);
            match->target.build(held);
        }
        const bool plan = haveHeld && plan_ != nullptr && planBlockedDepth_ == kNoDepth;
        std::size_t next = 0; // the first target name not yet matched
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (run_.stopped()) {
                finishCopies();
                return false;
            }
            while (next < held.size() &&
                   run_.fs.compareNames(held.nameView(next), entries.nameView(i)) < 0) {
                if (plan) {
                    planUnmatched(held, next, match);
                }
                ++next;
            }
            const bool inTarget =
                next < held.size() &&
                run_.fs.compareNames(held.nameView(next), entries.nameView(i)) == 0;
            if (inTarget) {
                if (plan && InTheWay(entries.kind(i), held.kind(next))) {
                    plan_->add(folderKey_, held.nameView(next), held.kind(next));
                }
                ++next;
            }
            // Where case is told apart, a name the target lacks is certainly missing.
            const bool missing = haveHeld && !inTarget && match == nullptr;
            const std::size_t mark = path_.size();
            AppendName(path_, entries.name(i));
            const bool isFolder = entries.kind(i) == EntryKind::Folder;
            std::size_t heldIndex = kNotHeld;
            const Focus focus =
                focusing_ ? focusOf(entries.nameView(i), isFolder, heldIndex) : Focus::Normal;
            if (heldIndex != kNotHeld) {
                startSegment(heldIndex);
            }
            bool goOn = true;
            if (focus == Focus::Skip) {
                // Dealt with by the first walk.
            } else if (focus == Focus::Moved) {
                listMoved();
                if (isFolder) {
                    goOn = copyFolder(entries.name(i), missing, Focus::Folders);
                }
            } else if (const int refused = refusedName(entries, i, match); refused != 0) {
                listFailed({isFolder ? EntryFailure::Step::CreateFolder : EntryFailure::Step::Copy,
                            refused});
            } else if (isFolder && missing && plan && movesAllowed_) {
                holdBack(entries.name(i), EntryKind::Folder, {});
            } else {
                holdBack_ = plan && movesAllowed_;
                goOn =
                    isFolder
                        ? copyFolder(entries.name(i), missing, focus)
                        : copyEntry(entries.name(i), entries.kind(i), missing,
                                    looks != nullptr && looks->looked[i] != 0 ? looks : nullptr, i);
            }
            path_.resize(mark);
            if (!goOn) {
                finishCopies();
                return false;
            }
        }
        for (; plan && next < held.size(); ++next) {
            planUnmatched(held, next, match);
        }
        return copiesMayOutliveFolder() || finishCopies();
    }

    // Whether helpers are to read the folder at `key` ahead of the second walk: it lies
    // in a held-back entry to copy. Elsewhere the walk reads only a few names of each
    // folder. No held-back entry lies inside another, so only the entry at `key` or
    // the one just before it can hold it.
    bool readAheadInSecondWalk(std::string_view key) const {
        const auto at =
            std::lower_bound(focus_.begin(), focus_.end(), key,
                             [](const FocusEntry& a, std::string_view b) { return a.key < b; });
        if (at != focus_.end() && at->key == key) {
            return at->focus == Focus::Whole;
        }
        if (at == focus_.begin()) {
            return false;
        }
        const FocusEntry& before = *std::prev(at);
        return before.focus == Focus::Whole && key.substr(0, before.key.size()) == before.key;
    }

    // What the second walk does with entry `name` of the folder in hand; `held` is set
    // to the index of the held-back entry it is, if it is one.
    Focus focusOf(std::string_view name, bool isFolder, std::size_t& held) const {
        if (mode_ == Focus::Whole) {
            return Focus::Whole;
        }
        if (mode_ == Focus::Folders) {
            return isFolder ? Focus::Folders : Focus::Skip;
        }
        std::string key = folderKey_;
        key.append(name);
        key.push_back('\0');
        const auto at =
            std::lower_bound(focus_.begin(), focus_.end(), key,
                             [](const FocusEntry& a, const std::string& b) { return a.key < b; });
        if (at != focus_.end() && at->key == key) {
            held = at->held;
            return at->focus == Focus::Visit && !isFolder ? Focus::Skip : at->focus;
        }
        const bool onTheWay = at != focus_.end() && at->key.compare(0, key.size(), key) == 0;
        return isFolder && onTheWay ? Focus::Through : Focus::Skip;
    }

    // The lists stay in walk order: a held-back entry's lines from the second walk go
    // where the first walk met it, so both walks list what precedes it first.
    void holdBack(const char* name, EntryKind kind, const LookUpResult& found) {
        heldBack_.push_back(
            {folderKey_, name, kind, found.size, found.modified, sourceMount_, false, {}});
        requestMarks(false, heldBack_.size() - 1);
    }

    ListMarks marks() const {
        return {g_updatedFiles.size(), g_failedFiles.size(), g_specialsNotCreated.size(),
                run_.failures.size()};
    }

    void startSegment(std::size_t held) {
        segments_.push_back({held, {}});
        requestMarks(true, segments_.size() - 1);
    }

    // Takes the marks of a held-back entry (or of a segment) once the copies queued
    // before it are listed, so that the copies need not wait for it.
    void requestMarks(bool segment, std::size_t index) {
        if (copies_.pending() == 0) {
            setMarks({0, segment, index});
        } else {
            markRequests_.push_back({copies_.pending(), segment, index});
        }
    }
    struct MarkRequest {
        std::size_t job; // the number of copies queued before it
        bool segment;
        std::size_t index;
    };
    void setMarks(const MarkRequest& request) {
        (request.segment ? segments_[request.index].marks : heldBack_[request.index].marks) =
            marks();
    }

    // Puts each held-back entry's lines of the second walk, which the lists now hold, at
    // its place among the lines of the first walk, `first`.
    void spliceLists(FirstLists& first) {
        std::vector<std::pair<std::uint64_t, std::uint64_t>> updated;
        std::vector<std::pair<std::uint64_t, std::uint64_t>> failed;
        std::vector<std::pair<std::uint64_t, std::uint64_t>> specials;
        std::vector<std::pair<std::uint64_t, std::uint64_t>> failures;
        for (std::size_t k = 0; k < segments_.size(); ++k) {
            const ListMarks& at = heldBack_[segments_[k].held].marks;
            // What the second walk listed before its first held-back entry goes with it.
            const ListMarks from = k == 0 ? ListMarks{} : segments_[k].marks;
            updated.emplace_back(at.updated, from.updated);
            failed.emplace_back(at.failed, from.failed);
            specials.emplace_back(at.specials, from.specials);
            failures.emplace_back(at.failures, from.failures);
        }
        SpliceList(g_updatedFiles, first.updated, updated);
        SpliceList(g_failedFiles, first.failed, failed);
        SpliceList(g_specialsNotCreated, first.specials, specials);
        std::vector<std::pair<std::string, EntryFailure>> second;
        second.swap(run_.failures);
        run_.failures.clear();
        std::uint64_t taken = 0;
        for (std::size_t k = 0; k < failures.size(); ++k) {
            const std::uint64_t at = std::max(failures[k].first, taken);
            const std::uint64_t end =
                k + 1 < failures.size() ? failures[k + 1].second : second.size();
            run_.failures.insert(run_.failures.end(), first.failures.begin() + taken,
                                 first.failures.begin() + at);
            run_.failures.insert(run_.failures.end(), second.begin() + failures[k].second,
                                 second.begin() + end);
            taken = at;
        }
        run_.failures.insert(run_.failures.end(), first.failures.begin() + taken,
                             first.failures.end());
        if (failures.empty()) {
            run_.failures.insert(run_.failures.end(), second.begin(), second.end());
        }
    }

    // A moved entry is up to date, and listed so, after the copies queued before it.
    void listMoved() {
        finishCopies();
        g_updatedFiles.add(path_);
        g_syncStats.filesCopied.fetch_add(1, std::memory_order_relaxed);
    }

    // Moves what matches the held-back entries into their places, then walks again to
    // copy the others and finish the folders that changed.
    bool placeHeldBack(const PairRoots& roots) {
        std::vector<std::string> movedFrom(heldBack_.size());
        moveHeldBack(movedFrom);
        focus_.clear();
        for (std::size_t i = 0; i < heldBack_.size(); ++i) {
            const HeldBack& held = heldBack_[i];
            const bool moved = !movedFrom[i].empty() || held.movedFromRoot;
            focus_.push_back({held.key + held.name + '\0', moved ? Focus::Moved : Focus::Whole, i});
            if (!movedFrom[i].empty()) {
                focus_.push_back({std::move(movedFrom[i]), Focus::Visit, kNotHeld});
            }
        }
        std::sort(focus_.begin(), focus_.end(),
                  [](const FocusEntry& a, const FocusEntry& b) { return a.key < b.key; });
        FirstLists first;
        g_updatedFiles.moveTo(first.updated);
        g_failedFiles.moveTo(first.failed);
        g_specialsNotCreated.moveTo(first.specials);
        first.failures.swap(run_.failures);
        run_.failures.clear();
        segments_.clear();
        plan_ = nullptr;
        lookAhead_.reset();
        if (run_.fs.readHelpers() > 0) {
            lookAhead_ = std::make_unique<LookAhead>(
                run_.fs, roots.source, roots.target, run_.targetNames.caseInsensitive,
                run_.window.stopFlag(), run_.fs.readHelpers(),
                [this](std::string_view key) { return readAheadInSecondWalk(key); });
        }
        focusing_ = true;
        mode_ = Focus::Through;
        path_ = roots.source;
        folderKey_.clear();
        bool goOn = fillFolder(sourceRoot_.haveIdentity ? &sourceRoot_.identity : nullptr, false);
        goOn = finishCopies() && goOn;
        spliceLists(first);
        heldBack_.clear();
        return goOn;
    }

    // Moves each target entry about to be pruned whose tree matches one held-back
    // folder, or, on a target that keeps times finer than a second, whose single file
    // matches one held-back file of the same name, to the held-back entry's place.
    // `movedFrom[i]` gets the key of the folder held-back entry `i` was moved from.
    void moveHeldBack(std::vector<std::string>& movedFrom) {
        const FolderHandle sourceRoot = source_.root();
        const FolderHandle targetRoot = target_.root();
        if (sourceRoot == kNoFolder || targetRoot == kNoFolder) {
            return;
        }
        const FolderIdentity* avoidSource =
            sourceRoot_.haveIdentity ? &sourceRoot_.identity : nullptr;
        const FolderIdentity* avoidTarget =
            targetRoot_.haveIdentity ? &targetRoot_.identity : nullptr;
        std::unordered_map<std::string, std::vector<std::size_t>> byTree;
        std::size_t longest = 0;
        std::size_t kept = 0;
        std::string description;
        std::size_t files = 0;
        for (const std::size_t index : prunedFolders_) {
            const PrunePlan::Item item = plan_->item(index);
            FolderHandle parent = kNoFolder;
            FolderIdentity place;
            if (kept > kMaxDescriptions ||
                OpenBelow(run_.fs, targetRoot, item.folder, parent) != 0) {
                continue;
            }
            if (run_.fs.identify(parent, place) == 0 &&
                DescribeTree(run_.fs, parent, item.name,
                             {timeStep_, place.mount, avoidSource, true, kMaxDescriptions,
                              &run_.window.stopFlag()},
                             description, files)) {
                kept += description.size();
                longest = std::max(longest, description.size());
                byTree[description].push_back(index);
            }
            closeBelow(parent, targetRoot);
        }
        for (std::size_t i = 0; i < heldBack_.size() && !byTree.empty(); ++i) {
            HeldBack& held = heldBack_[i];
            FolderHandle parent = kNoFolder;
            if (held.kind != EntryKind::Folder ||
                OpenBelow(run_.fs, sourceRoot, held.key, parent) != 0) {
                continue;
            }
            const bool described = DescribeTree(
                run_.fs, parent, held.name.c_str(),
                {timeStep_, held.mount, avoidTarget, false, longest, &run_.window.stopFlag()},
                description, files);
            closeBelow(parent, sourceRoot);
            const auto match = described ? byTree.find(description) : byTree.end();
            if (match != byTree.end() && moveInto(held, match->second.back(), movedFrom[i])) {
                match->second.pop_back();
                if (match->second.empty()) {
                    byTree.erase(match);
                }
            }
        }
        if (!prunedFiles_.empty() && timeStep_ < kNanosecondsPerSecond) {
            moveHeldBackFiles(movedFrom);
        }
    }

    // A held-back file moves only where exactly one pruned file of its name, size and
    // time matches it and no other held-back file matches that one.
    void moveHeldBackFiles(std::vector<std::string>& movedFrom) {
        const FolderHandle targetRoot = target_.root();
        std::unordered_multimap<std::string_view, std::size_t> byName;
        for (const std::size_t index : prunedFiles_) {
            byName.emplace(plan_->item(index).name, index);
        }
        std::vector<std::size_t> matchOf(heldBack_.size(), SIZE_MAX);
        std::unordered_map<std::size_t, unsigned> matchedBy;
        for (std::size_t i = 0; i < heldBack_.size(); ++i) {
            const HeldBack& held = heldBack_[i];
            if (held.kind != EntryKind::File) {
                continue;
            }
            unsigned matches = 0;
            const auto [first, last] = byName.equal_range(held.name);
            for (auto at = first; at != last; ++at) {
                const PrunePlan::Item item = plan_->item(at->second);
                FolderHandle parent = kNoFolder;
                if (OpenBelow(run_.fs, targetRoot, item.folder, parent) != 0) {
                    continue;
                }
                const LookUpResult found = run_.fs.lookUp(parent, item.name);
                closeBelow(parent, targetRoot);
                if (found.error == 0 && found.kind == EntryKind::File && found.links == 1 &&
                    found.ownerWritable && found.size == held.size &&
                    TimeOnStep(found.modified, timeStep_) == TimeOnStep(held.modified, timeStep_)) {
                    ++matches;
                    ++matchedBy[at->second];
                    matchOf[i] = at->second;
                }
            }
            if (matches != 1) {
                matchOf[i] = SIZE_MAX;
            }
        }
        for (std::size_t i = 0; i < heldBack_.size(); ++i) {
            if (matchOf[i] != SIZE_MAX && matchedBy[matchOf[i]] == 1) {
                moveInto(heldBack_[i], matchOf[i], movedFrom[i]);
            }
        }
    }

    // Moves the pruned entry of plan item `index` to the held-back entry's place, on
    // one mount; on success drops the item from the plan and sets `movedFrom`.
    bool moveInto(HeldBack& held, std::size_t index, std::string& movedFrom) {
        const FolderHandle targetRoot = target_.root();
        const PrunePlan::Item item = plan_->item(index);
        FolderHandle from = kNoFolder;
        FolderHandle to = kNoFolder;
        if (OpenBelow(run_.fs, targetRoot, item.folder, from) != 0) {
            return false;
        }
        FolderIdentity fromPlace;
        FolderIdentity toPlace;
        bool moved = OpenBelow(run_.fs, targetRoot, held.key, to) == 0 &&
                     run_.fs.identify(from, fromPlace) == 0 && run_.fs.identify(to, toPlace) == 0 &&
                     fromPlace.mount == toPlace.mount;
        if (moved) {
            willChangeTarget();
            moved = run_.fs.moveEntry(from, item.name, to, held.name.c_str()) == 0;
        }
        closeBelow(from, targetRoot);
        closeBelow(to, targetRoot);
        if (moved) {
            plan_->moved(index);
            movedFrom = std::string(item.folder);
            // The root is finished by every walk: an empty key needs no visit.
            held.movedFromRoot = movedFrom.empty();
        }
        return moved;
    }

    void closeBelow(FolderHandle folder, FolderHandle root) {
        if (folder != root && folder != kNoFolder) {
            run_.fs.closeFolder(folder);
        }
    }

    // Copies queued in a folder may go on after the walk has left it, its handles kept
    // open for them, while the walk need not close any open folder; a very deep walk
    // finishes them at every folder.
    bool copiesMayOutliveFolder() const {
        return source_.opensWithoutClosing() && target_.opensWithoutClosing();
    }

    // Leaves the folder in hand on one side, keeping it open while queued copies may
    // still use it.
    void leave(FolderChain& chain) {
        if (copies_.pending() == 0) {
            chain.leave();
            return;
        }
        const FolderHandle handle = chain.leaveKeepingOpen();
        if (handle != kNoFolder) {
            keptOpen_.push_back(handle);
        }
    }

    // A folder where the source has a file, link or special file (or the reverse) is
    // in the way of the source entry.
    static bool InTheWay(EntryKind source, EntryKind target) {
        return (source == EntryKind::Folder) != (target == EntryKind::Folder);
    }

    // Plans the deletion of target entry `i`, which has no counterpart of the same
    // name; on a target that ignores case, one that differs in case only counts.
    void planUnmatched(const FolderListing& held, std::size_t i, const TargetMatch* match) {
        if (match != nullptr) {
            const std::size_t counterpart = match->source.find(held.nameView(i));
            if (counterpart != FoldedNames::kNone &&
                !InTheWay(listings_[source_.depth()].kind(counterpart), held.kind(i))) {
                return;
            }
        }
        plan_->add(folderKey_, held.nameView(i), held.kind(i));
        if (movesAllowed_ && held.kind(i) == EntryKind::Folder) {
            prunedFolders_.push_back(plan_->size() - 1);
        } else if (movesAllowed_ && held.kind(i) == EntryKind::File) {
            prunedFiles_.push_back(plan_->size() - 1);
        }
    }

    // Why the target cannot take entry `i` of the current folder under its name, or 0.
    // Where the target does not tell case apart, the names that match one target name
    // go to the one that the target holds already, else to the first in walk order; a
    // target entry that differs from its source name in case only is renamed to it.
    int refusedName(const FolderListing& entries, std::size_t i, TargetMatch* match) {
        const std::string_view name = entries.nameView(i);
        if ((run_.targetNames.windowsNames && !StorableOnWindows(name)) ||
            (run_.targetNames.deviceNames && WindowsDeviceName(name))) {
            return kReasonNameNotStorable;
        }
        if (match == nullptr) {
            return 0;
        }
        const FolderListing& targetEntries = heldListings_[source_.depth()];
        const std::size_t held = match->target.find(name);
        const std::string_view heldName =
            held == FoldedNames::kNone ? std::string_view() : targetEntries.nameView(held);
        if (heldName == name) {
            return 0;
        }
        const bool heldIsOwned = held != FoldedNames::kNone && Lists(entries, heldName);
        if (heldIsOwned || match->source.find(name) != i) {
            return kReasonCaseCollision;
        }
        if (held != FoldedNames::kNone) {
            willChangeTarget();
            const int error =
                run_.fs.renameEntry(target_.handle(), targetEntries.name(held), entries.name(i));
            written_ = true;
            if (error != 0) {
                listFailed({EntryFailure::Step::MatchCase, error});
            }
        }
        return 0;
    }

    // What helpers read of the sub-folder `name` of the current folder, if anything.
    std::unique_ptr<FolderFacts> takeFacts(const char* name) {
        if (lookAhead_ == nullptr) {
            return nullptr;
        }
        const std::size_t keyMark = folderKey_.size();
        folderKey_.append(name);
        folderKey_.push_back('\0');
        std::unique_ptr<FolderFacts> facts = lookAhead_->take(folderKey_);
        folderKey_.resize(keyMark);
        return facts;
    }

    // `missing`: the target's listing lacks the name. `focus` tells what a second walk
    // does in it; a folder it only passes through or finishes is not created.
    bool copyFolder(const char* name, bool missing, Focus focus) {
        // Entering may close the handles of the folder that queued copies use.
        if (!copiesMayOutliveFolder() && !finishCopies()) {
            return false;
        }
        // A folder a helper read ahead and still holds open is taken as it is: the
        // very folder its facts describe, not opened and identified again.
        std::unique_ptr<FolderFacts> facts = takeFacts(name);
        const bool adopted = facts != nullptr && facts->sourceFolder.held();
        FolderIdentity identity;
        int sourceError = 0;
        if (adopted) {
            identity = facts->source;
            sourceError = source_.adopt(name, facts->sourceFolder.release());
        } else {
            sourceError = source_.enter(name);
        }
        if (sourceError != 0 || (!adopted && run_.fs.identify(source_.handle(), identity) != 0)) {
            source_.leave();
            listFailed({EntryFailure::Step::ReadFolder, sourceError});
            return true;
        }
        if (targetRoot_.holds(identity, identity.mount != sourceMount_, path_)) {
            source_.leave();
            listFailed({EntryFailure::Step::ReadFolder, kReasonOtherRoot});
            return true;
        }
        // Under a target folder that is missing itself, nothing is tried or said.
        const bool targetParentMissing = target_.error() != 0;
        // Most target folders exist already: opening first saves a creation that fails.
        int createError = 0;
        const bool targetAdopted = adopted && facts->targetFolder.held();
        // Whether a level for `name` is in the target chain, to be left again.
        const bool entered = targetAdopted || !missing;
        int targetError = targetAdopted ? target_.adopt(name, facts->targetFolder.release())
                          : missing     ? ENOENT
                                        : target_.enter(name);
        if (targetError != 0 && (focus == Focus::Visit || focus == Focus::Folders)) {
            if (entered) {
                target_.leave();
            }
            source_.leave();
            return true;
        }
        bool made = false;
        if (targetError == ENOENT) {
            if (entered) {
                target_.leave();
            }
            const FolderHandle targetFolder = target_.handle();
            if (targetFolder != kNoFolder) {
                willChangeTarget();
                createError = run_.fs.createFolder(targetFolder, name);
                made = createError == 0;
                written_ = written_ || made;
                run_.targetWriteFailed =
                    run_.targetWriteFailed || (createError != 0 && createError != EEXIST);
            }
            targetError = target_.enter(name);
        }
        if (targetError == ENOTDIR) {
            // A file or link holds the name in the target; only the prune pass may
            // clear it, so the folder is listed until then.
            target_.leave();
            source_.leave();
            listFailed({EntryFailure::Step::CreateFolder, kReasonOtherKind});
            return true;
        }
        if (targetError != 0 && !targetParentMissing) {
            const int reason =
                createError != 0 && createError != EEXIST ? createError : targetError;
            listFailed({EntryFailure::Step::CreateFolder, reason});
            reportedTargetDepth_ = target_.depth();
        }
        if (made && targetError == 0) {
            run_.fs.copyAttributes(source_.handle(), target_.handle());
        }
        const std::uint64_t parentMount = sourceMount_;
        sourceMount_ = identity.mount;
        const std::size_t keyMark = folderKey_.size();
        folderKey_.append(name);
        folderKey_.push_back('\0');
        const Focus parentMode = mode_;
        mode_ = focus;
        const bool goOn = fillFolder(&identity, made && targetError == 0, std::move(facts),
                                     targetAdopted && targetError == 0);
        mode_ = parentMode;
        folderKey_.resize(keyMark);
        sourceMount_ = parentMount;
        if (keptOpen_.size() + 2 > kMaxKeptOpen && !finishCopies()) {
            target_.leave();
            source_.leave();
            return false;
        }
        leave(target_);
        if (reportedTargetDepth_ > target_.depth()) {
            reportedTargetDepth_ = kNoDepth;
        }
        if (planBlockedDepth_ > target_.depth()) {
            planBlockedDepth_ = kNoDepth;
        }
        leave(source_);
        return goOn;
    }

    // Walks the current folder, its target folder kept writable for its owner while it
    // is filled and given the source folder's owner, permission bits and time once its
    // contents are complete, so that a backup exposes nothing its source protects.
    bool fillFolder(const FolderIdentity* source, bool targetNew,
                    std::unique_ptr<FolderFacts> facts = nullptr, bool targetAdopted = false) {
        FolderIdentity target;
        FolderHandle targetFolder = target_.handle();
        if (targetAdopted) {
            target = facts->target;
        }
        const bool haveTarget = targetFolder != kNoFolder &&
                                (targetAdopted || run_.fs.identify(targetFolder, target) == 0);
        // The prune pass acts nowhere below a mount point inside the target, nor in
        // the source shown there; it lists such a folder instead.
        if (haveTarget && plan_ != nullptr && planBlockedDepth_ == kNoDepth &&
            target_.depth() > 0 &&
            ((targetRoot_.haveIdentity && target.mount != targetRoot_.identity.mount) ||
             (sourceRoot_.haveIdentity && target == sourceRoot_.identity))) {
            plan_->leaveAlone(folderKey_);
            planBlockedDepth_ = target_.depth();
        }
        // Nothing is written through a mount in the target that shows the source.
        if (haveTarget && sourceRoot_.holds(target, target.mount != targetMount_,
                                            targetRootPath_ + path_.substr(sourceRootLength_))) {
            listFailed({EntryFailure::Step::CreateFolder, kReasonOtherRoot});
            return true;
        }
        const std::uint64_t parentMount = targetMount_;
        if (haveTarget) {
            targetMount_ = target.mount;
        }
        if (haveTarget && (target.permissions & 0300u) != 0300u) {
            target.permissions |= 0300u;
            run_.fs.setPermissions(targetFolder, target.permissions);
        }
        const bool parentWritten = written_;
        written_ = false;
        const bool goOn =
            walkFolder(targetNew, source, haveTarget ? &target : nullptr, std::move(facts));
        targetFolder = target_.handle();
        if (haveTarget && source != nullptr && targetFolder != kNoFolder) {
            // Copies still going into the folder may need the owner's write permission,
            // and would change its time: it is finished after them.
            FolderFinish finish{targetFolder, target, *source, written_};
            if (copies_.pending() == 0) {
                finishFolder(finish);
            } else {
                finishes_.push_back(finish);
            }
        }
        written_ = parentWritten;
        targetMount_ = parentMount;
        return goOn;
    }

    // A target folder whose contents are complete, with what it was and what its
    // source folder is.
    struct FolderFinish {
        FolderHandle folder;
        FolderIdentity target;
        FolderIdentity source;
        bool written; // the run created, replaced or renamed something in it
    };

    // Gives a target folder its source folder's owner and group where the run may set
    // them, its permission bits (set-user-ID and set-group-ID only where it has both),
    // and its time where that is not right, or the run wrote into it.
    void finishFolder(const FolderFinish& finish) {
        const FolderIdentity& target = finish.target;
        const FolderIdentity& source = finish.source;
        const bool ownersKept = (target.owner == source.owner && target.group == source.group) ||
                                run_.fs.setOwner(finish.folder, source.owner, source.group) == 0;
        const unsigned permissions = ownersKept ? source.permissions : source.permissions & 01777u;
        if (permissions != target.permissions) {
            run_.fs.setPermissions(finish.folder, permissions);
        }
        if (finish.written || !SameTimeAtStep(target.modified, source.modified, timeStep_)) {
            run_.fs.setFolderTime(finish.folder, source.modified);
        }
    }

    // `missing`: the target's listing lacks the name. `looks`, when given, holds both
    // look-ups of entry `index`, made ahead by a helper.
    bool copyEntry(const char* name, EntryKind kind, bool missing, const FolderFacts* looks,
                   std::size_t index) {
        run_.window.setStatusLine(path_);
        g_syncStats.filesExamined.fetch_add(1, std::memory_order_relaxed);
        const FolderHandle targetFolder = target_.handle();
        if (targetFolder == kNoFolder) {
            listFailed({EntryFailure::Step::Copy, target_.error()},
                       reportedTargetDepth_ == kNoDepth);
            return true;
        }
        LookUpResult existing;
        existing.error = ENOENT;
        if (!missing) {
            existing =
                looks != nullptr ? looks->targetLooks[index] : run_.fs.lookUp(targetFolder, name);
        }
        if (existing.error == 0) {
            // The source's time is read only when there is a copy to compare it with;
            // a missing copy is made from the opened file and its own times.
            const LookUpResult current = looks != nullptr ? looks->sourceLooks[index]
                                                          : run_.fs.lookUp(source_.handle(), name);
            if (current.error == ENOENT ||
                (current.error == 0 && current.kind == EntryKind::Folder)) {
                return true; // gone, or replaced by a folder, since the folder was read
            }
            // Details that cannot be read are a failure, never "gone" or "up to date";
            // nor can a folder in the target take the name until the prune pass clears it.
            if (current.error != 0) {
                listFailed({EntryFailure::Step::Copy, current.error});
                return true;
            }
            if (existing.kind == EntryKind::Folder) {
                listFailed({EntryFailure::Step::Copy, kReasonOtherKind});
                return true;
            }
            kind = current.kind;
            if (kind == EntryKind::File && current.links > 1) {
                return copySharedFile(name, existing, current);
            }
            // Entries of different kinds are never up to date: the copy replaces the
            // target's link, file or special file.
            if (existing.kind == kind &&
                SameTimeAtStep(existing.modified, current.modified, timeStep_) &&
                (!run_.compareSizes || kind != EntryKind::File || existing.size == current.size)) {
                return true;
            }
            // A read-only copy is not replaced, whoever runs the program.
            if (existing.kind == EntryKind::File && !existing.ownerWritable) {
                listFailed({EntryFailure::Step::Copy, kReasonReadOnlyCopy});
                return true;
            }
        } else if (kind == EntryKind::File) {
            // Only a look-up tells whether the file has other names; one that fails is
            // left to the copy, which says why.
            const LookUpResult current = run_.fs.lookUp(source_.handle(), name);
            if (current.error == 0 && current.kind == EntryKind::File && current.links > 1) {
                return copySharedFile(name, existing, current);
            }
            // Coarse times say too little for one file to stand for another.
            if (holdBack_ && missing && current.error == 0 && current.kind == EntryKind::File &&
                current.size >= kMinMovedFile && timeStep_ < kNanosecondsPerSecond) {
                holdBack(name, EntryKind::File, current);
                return true;
            }
        }
        return queueCopy(name, kind);
    }

    bool queueCopy(const char* name, EntryKind kind) {
        written_ = true;
        willChangeTarget();
        copies_.add(source_.handle(), target_.handle(), name, kind, path_);
        return copies_.pending() < kMaxQueued || finishCopies();
    }

    // Copies a source file that has other names (hard links): the first name met is
    // copied, each later one made a name of that copy, so that the target's names
    // share one file as the source's do. `existing` is the target's look-up of the
    // name, `current` the source's.
    bool copySharedFile(const char* name, const LookUpResult& existing,
                        const LookUpResult& current) {
        HardLinks::First* first = hardLinks_.find(current.device, current.inode);
        const bool later = first != nullptr;
        if (later && first->state == HardLinks::State::Queued && !finishCopies()) {
            return false; // its copy must be in place before another name can share it
        }
        const bool targetFile = existing.error == 0 && existing.kind == EntryKind::File;
        const bool readOnly = targetFile && !existing.ownerWritable;
        bool goOn = true;
        if (!later || first->state == HardLinks::State::Failed) {
            const bool same =
                targetFile && SameTimeAtStep(existing.modified, current.modified, timeStep_);
            first = &hardLinks_.add(current.device, current.inode, current.links, relativePath());
            if (same) {
                first->state = HardLinks::State::InTarget;
                first->targetDevice = existing.device;
                first->targetInode = existing.inode;
            } else if (readOnly) {
                first->state = HardLinks::State::Failed;
                listFailed({EntryFailure::Step::Copy, kReasonReadOnlyCopy});
            } else {
                queuedFirsts_.push_back({copies_.pending(), current.device, current.inode});
                goOn = queueCopy(name, EntryKind::File);
            }
        } else if (targetFile && first->targetInode != 0 && existing.inode == first->targetInode &&
                   existing.device == first->targetDevice) {
            // Already a name of the first name's copy.
        } else if (readOnly) {
            listFailed({EntryFailure::Step::Copy, kReasonReadOnlyCopy});
        } else {
            written_ = true;
            willChangeTarget();
            copies_.addLink(source_.handle(), target_.handle(), name, path_, target_.root(),
                            first->path);
            goOn = copies_.pending() < kMaxQueued || finishCopies();
        }
        if (later) {
            hardLinks_.met(current.device, current.inode);
        }
        return goOn;
    }

    // The entry in hand's path below the pair's roots, names joined by "/".
    std::string_view relativePath() const {
        std::string_view below = std::string_view(path_).substr(sourceRootLength_);
        while (!below.empty() && below.front() == '/') {
            below.remove_prefix(1);
        }
        return below;
    }

    // Marks the target root unsettled before the pair's first change to the target.
    void willChangeTarget() {
        if (!run_.changedTarget) {
            run_.changedTarget = true;
            if (run_.targetRoot != kNoFolder) {
                run_.fs.markUnsettled(run_.targetRoot);
            }
        }
    }

    // Waits for the queued copies and lists their outcomes in walk order; false when
    // a copy was stopped.
    bool finishCopies() {
        std::size_t job = 0;
        std::size_t nextFirst = 0;
        std::size_t nextMark = 0;
        const bool goOn =
            copies_.finish([&](CopyOutcome outcome, std::string_view path, int error) {
                for (; nextMark < markRequests_.size() && markRequests_[nextMark].job <= job;
                     ++nextMark) {
                    setMarks(markRequests_[nextMark]);
                }
                if (nextFirst < queuedFirsts_.size() && queuedFirsts_[nextFirst].job == job) {
                    const QueuedFirst& queued = queuedFirsts_[nextFirst++];
                    if (HardLinks::First* first = hardLinks_.find(queued.device, queued.inode)) {
                        first->state = outcome == CopyOutcome::Copied ? HardLinks::State::InTarget
                                                                      : HardLinks::State::Failed;
                    }
                }
                ++job;
                if (outcome == CopyOutcome::Copied) {
                    g_updatedFiles.add(path);
                    g_syncStats.filesCopied.fetch_add(1, std::memory_order_relaxed);
                } else if (outcome == CopyOutcome::NotCreated) {
                    g_specialsNotCreated.add(path);
                } else if (outcome != CopyOutcome::Stopped) {
                    run_.targetWriteFailed =
                        run_.targetWriteFailed || outcome == CopyOutcome::WriteFailed;
                    g_failedFiles.add(path);
                    g_syncStats.filesFailed.fetch_add(1, std::memory_order_relaxed);
                    run_.failed(std::string(path),
                                {outcome == CopyOutcome::ReadFailed ? EntryFailure::Step::ReadSource
                                                                    : EntryFailure::Step::Copy,
                                 error});
                }
            });
        queuedFirsts_.clear();
        for (; nextMark < markRequests_.size(); ++nextMark) {
            setMarks(markRequests_[nextMark]);
        }
        markRequests_.clear();
        for (const FolderFinish& finish : finishes_) {
            finishFolder(finish);
        }
        finishes_.clear();
        for (const FolderHandle folder : keptOpen_) {
            run_.fs.closeFolder(folder);
        }
        keptOpen_.clear();
        return goOn;
    }

    // Lists the entry in hand as failed, after the queued copies that precede it, and
    // says why unless a target folder reported above it already has.
    void listFailed(EntryFailure failure, bool sayWhy = true) {
        finishCopies();
        g_failedFiles.add(path_);
        g_syncStats.filesFailed.fetch_add(1, std::memory_order_relaxed);
        if (sayWhy) {
            run_.failed(path_, failure);
        }
    }

    PassContext& run_;
    FolderChain source_;
    FolderChain target_;
    CopyQueue copies_;
    std::unique_ptr<LookAhead> lookAhead_;   // helpers reading ahead, where the port allows
    std::vector<FolderHandle> keptOpen_;     // folders left with copies still queued
    std::deque<FolderListing> listings_;     // one per depth, reused across folders
    std::deque<FolderListing> heldListings_; // the target folders' names, likewise
    std::deque<TargetMatch> matches_;        // likewise, on targets that ignore case
    std::string folderKey_; // names from the root to the folder in hand, as the plan keeps them
    std::string path_;      // full source path of the entry in hand
    std::size_t sourceRootLength_ = 0;
    std::string targetRootPath_;
    OtherRoot sourceRoot_;
    OtherRoot targetRoot_;
    std::uint64_t sourceMount_ = 0; // mounts of the folders in hand
    std::uint64_t targetMount_ = 0;
    // Depth of the target folder whose failure stands for the entries beneath it.
    static constexpr std::size_t kNoDepth = SIZE_MAX;
    std::size_t reportedTargetDepth_ = kNoDepth;
    // Depth of the target folder below which the prune pass may not act.
    std::size_t planBlockedDepth_ = kNoDepth;
    // Times are compared to the step the target keeps, lest every run copy everything.
    std::int64_t timeStep_ = 1;

    std::vector<FolderFinish> finishes_; // folders to finish once the queued copies are done
    bool written_ = false;               // the run wrote into the target folder in hand
    HardLinks hardLinks_;
    // The queued copies of first names of files with other names, by their place in
    // the queue, so that their outcomes tell whether later names can share them.
    struct QueuedFirst {
        std::size_t job;
        std::uint64_t device;
        std::uint64_t inode;
    };
    std::vector<QueuedFirst> queuedFirsts_;

    PrunePlan* plan_ = nullptr; // the run's prune plan while the first walk fills it
    bool movesAllowed_ = false;
    bool holdBack_ = false; // the entry in hand, if new, is held back
    std::vector<HeldBack> heldBack_;
    std::vector<std::size_t> prunedFolders_; // plan items that could move
    std::vector<std::size_t> prunedFiles_;
    bool focusing_ = false; // the second walk is under way
    Focus mode_ = Focus::Normal;
    struct FocusEntry {
        std::string key;
        Focus focus;
        std::size_t held; // the held-back entry's index, or kNotHeld
    };
    std::vector<FocusEntry> focus_; // by key
    // Where the second walk's lines for each held-back entry it met begin.
    struct Segment {
        std::size_t held;
        ListMarks marks;
    };
    std::vector<Segment> segments_;
    std::vector<MarkRequest> markRequests_; // in walk order
};

} // namespace

bool CopyPass(PassContext& run, const PairRoots& roots) {
    CopyWalk walk(run);
    return walk.start(roots) && !run.stopped();
}

} // namespace kestrova
