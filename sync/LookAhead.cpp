// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "sync/LookAhead.h"

#include "sync/FolderChain.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace kestrova {

namespace {

// Folders read ahead of the walk at most, read or being read: bounds the memory the
// facts take while keeping the helpers busy.
constexpr std::size_t kAhead = 64;
// Folders deeper than this are left to the walk.
constexpr std::size_t kMaxDepth = 40;
// Levels below the root a helper keeps open on each side.
constexpr std::size_t kOpenLevels = 4;
// Folders held open for the walk at most, on both sides together: the rest is opened
// by the walk itself, so that reading ahead never takes many of the process's open files.
constexpr unsigned kMaxHeld = 32;
// How long a waiting thread sleeps before it looks at the stop request again.
constexpr auto kStopCheck = std::chrono::milliseconds(50);

} // namespace

// The folders from one root down to the one last read, so that the next folder,
// usually a sibling or a child, opens with one call. Few levels stay open: the walk
// needs the process's open files more.
class LookAhead::OpenPath {
public:
    OpenPath(FileSystem& fs, const std::string& root)
        : chain_(fs, kOpenLevels), rootError_(chain_.openRoot(root)) {}

    // The folder at `key`, opened below the root without following links; kNoFolder
    // when it cannot be opened.
    FolderHandle open(std::string_view key) {
        if (rootError_ != 0) {
            return kNoFolder;
        }
        std::size_t depth = 0;
        std::size_t at = 0;
        for (; at < key.size() && depth < names_.size(); ++depth) {
            const std::size_t end = key.find('\0', at);
            if (names_[depth] != key.substr(at, end - at)) {
                break;
            }
            at = end + 1;
        }
        while (names_.size() > depth) {
            chain_.leave();
            names_.pop_back();
        }
        while (at < key.size()) {
            const std::size_t end = key.find('\0', at);
            names_.emplace_back(key.substr(at, end - at));
            if (chain_.enter(names_.back().c_str()) != 0) {
                return kNoFolder;
            }
            at = end + 1;
        }
        return chain_.handle();
    }

    // The folder last opened, handed to the caller; reopened if a later folder lies in it.
    FolderHandle release() { return chain_.release(); }

private:
    FolderChain chain_;
    int rootError_;
    std::vector<std::string> names_; // of the levels below the root
};

HeldFolder& HeldFolder::operator=(HeldFolder&& other) noexcept {
    if (this != &other) {
        close();
        fs_ = other.fs_;
        count_ = other.count_;
        handle_ = std::exchange(other.handle_, kNoFolder);
    }
    return *this;
}

FolderHandle HeldFolder::release() {
    if (handle_ != kNoFolder) {
        count_->fetch_sub(1, std::memory_order_relaxed);
    }
    return std::exchange(handle_, kNoFolder);
}

void HeldFolder::close() {
    if (handle_ != kNoFolder) {
        fs_->closeFolder(release());
    }
}

LookAhead::LookAhead(FileSystem& fs, std::string sourceRoot, std::string targetRoot,
                     bool caseInsensitive, const std::atomic<bool>& stop, unsigned helpers,
                     std::function<bool(std::string_view key)> wanted)
    : fs_(fs), sourceRoot_(std::move(sourceRoot)), targetRoot_(std::move(targetRoot)),
      caseInsensitive_(caseInsensitive), wanted_(std::move(wanted)), stop_(stop) {
    for (unsigned i = 0; i < helpers; ++i) {
        helpers_.emplace_back([this] { helper(); });
    }
}

LookAhead::~LookAhead() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
    }
    work_.notify_all();
    ready_.notify_all();
    for (std::thread& helper : helpers_) {
        helper.join();
    }
}

bool LookAhead::ending() const {
    return closing_.load(std::memory_order_relaxed) || stop_.load(std::memory_order_relaxed);
}

std::unique_ptr<FolderFacts> LookAhead::take(std::string_view key) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (auto slot = slots_.begin(); slot != slots_.end();) {
        if (slot->abandoned) {
            ++slot;
            continue;
        }
        const int order = compareKeys(slot->key, key);
        if (order > 0) {
            break;
        }
        if (order < 0) {
            // The walk is past it: it skipped that folder, or the folder went away.
            if (slot->state == Slot::State::Working) {
                slot->abandoned = true;
                ++slot;
            } else {
                slot = slots_.erase(slot);
            }
            continue;
        }
        // Rather than wait for the helper reading this folder, the walk reads the
        // next folder nobody reads yet: the helpers and the walk then keep the cores
        // busy without more threads than cores taking turns.
        while (slot->state == Slot::State::Working && !stop_.load(std::memory_order_relaxed)) {
            if (walkSource_ == nullptr) {
                walkSource_ = std::make_unique<OpenPath>(fs_, sourceRoot_);
                walkTarget_ = std::make_unique<OpenPath>(fs_, targetRoot_);
            }
            if (!readNext(lock, *walkSource_, *walkTarget_)) {
                ready_.wait_for(lock, kStopCheck);
            }
        }
        std::unique_ptr<FolderFacts> facts;
        if (slot->state == Slot::State::Working) {
            slot->abandoned = true;
        } else {
            facts = std::move(slot->facts);
            slots_.erase(slot);
        }
        work_.notify_all(); // room for one more folder ahead
        return facts;
    }
    return nullptr;
}

void LookAhead::expand(std::string_view key, const FolderListing& entries) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        insertChildren(slots_.begin(), key, entries);
    }
    work_.notify_all();
}

void LookAhead::insertChildren(Slots::iterator before, std::string_view key,
                               const FolderListing& entries) {
    if (static_cast<std::size_t>(std::count(key.begin(), key.end(), '\0')) >= kMaxDepth) {
        return;
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries.kind(i) != EntryKind::Folder) {
            continue;
        }
        std::string childKey;
        childKey.reserve(key.size() + entries.nameView(i).size() + 1);
        childKey.append(key).append(entries.nameView(i)).push_back('\0');
        if (wanted_ && !wanted_(childKey)) {
            continue;
        }
        slots_.emplace(before)->key = std::move(childKey);
    }
}

LookAhead::Slots::iterator LookAhead::nextPending() {
    std::size_t seen = 0;
    for (auto slot = slots_.begin(); slot != slots_.end() && seen < kAhead; ++slot) {
        if (slot->abandoned) {
            continue;
        }
        ++seen;
        if (slot->state == Slot::State::Pending) {
            return slot;
        }
    }
    return slots_.end();
}

void LookAhead::helper() {
    OpenPath source(fs_, sourceRoot_);
    OpenPath target(fs_, targetRoot_);
    std::unique_lock<std::mutex> lock(mutex_);
    while (!ending()) {
        if (!readNext(lock, source, target)) {
            work_.wait_for(lock, kStopCheck);
        }
    }
}

bool LookAhead::readNext(std::unique_lock<std::mutex>& lock, OpenPath& source, OpenPath& target) {
    const auto slot = nextPending();
    if (slot == slots_.end()) {
        return false;
    }
    slot->state = Slot::State::Working;
    const std::string key = slot->key;
    lock.unlock();
    std::unique_ptr<FolderFacts> facts = read(source, target, key);
    lock.lock();
    if (slot->abandoned) {
        slots_.erase(slot);
    } else {
        if (facts != nullptr) {
            insertChildren(std::next(slot), key, facts->sourceEntries);
        }
        slot->facts = std::move(facts);
        slot->state = Slot::State::Ready;
    }
    ready_.notify_all();
    work_.notify_all();
    return true;
}

// Reads what the walk would read of the folder at `key`, in the same way: the target's
// look-up of each name it may hold, then the source's where the target has the name.
std::unique_ptr<FolderFacts> LookAhead::read(OpenPath& sourcePath, OpenPath& targetPath,
                                             const std::string& key) {
    auto facts = std::make_unique<FolderFacts>();
    const FolderHandle source = sourcePath.open(key);
    if (source == kNoFolder || fs_.identify(source, facts->source) != 0 ||
        fs_.enumerate(source, facts->sourceEntries) != 0) {
        return nullptr;
    }
    const FolderHandle target = targetPath.open(key);
    facts->haveTarget = target != kNoFolder && fs_.identify(target, facts->target) == 0 &&
                        fs_.enumerate(target, facts->targetEntries) == 0;
    if (!facts->haveTarget) {
        handOver(sourcePath, facts->sourceFolder);
        return facts;
    }
    const FolderListing& entries = facts->sourceEntries;
    const FolderListing& held = facts->targetEntries;
    facts->looked.assign(entries.size(), 0);
    facts->targetLooks.resize(entries.size());
    facts->sourceLooks.resize(entries.size());
    std::size_t next = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (ending()) {
            return nullptr;
        }
        while (next < held.size() &&
               fs_.compareNames(held.nameView(next), entries.nameView(i)) < 0) {
            ++next;
        }
        const bool inTarget =
            next < held.size() && fs_.compareNames(held.nameView(next), entries.nameView(i)) == 0;
        if (inTarget) {
            ++next;
        }
        if (entries.kind(i) == EntryKind::Folder || !(inTarget || caseInsensitive_)) {
            continue;
        }
        facts->targetLooks[i] = fs_.lookUp(target, entries.name(i));
        if (facts->targetLooks[i].error == 0) {
            facts->sourceLooks[i] = fs_.lookUp(source, entries.name(i));
        }
        facts->looked[i] = 1;
    }
    handOver(sourcePath, facts->sourceFolder);
    handOver(targetPath, facts->targetFolder);
    return facts;
}

void LookAhead::handOver(OpenPath& path, HeldFolder& folder) {
    if (held_.load(std::memory_order_relaxed) < kMaxHeld) {
        if (const FolderHandle handle = path.release(); handle != kNoFolder) {
            folder = HeldFolder(fs_, handle, held_);
        }
    }
}

int LookAhead::compareKeys(std::string_view a, std::string_view b) const {
    std::size_t i = 0;
    std::size_t j = 0;
    for (;;) {
        if (i >= a.size()) {
            return j >= b.size() ? 0 : -1; // a folder comes before what it holds
        }
        if (j >= b.size()) {
            return 1;
        }
        const std::size_t endA = a.find('\0', i);
        const std::size_t endB = b.find('\0', j);
        const int order = fs_.compareNames(a.substr(i, endA - i), b.substr(j, endB - j));
        if (order != 0) {
            return order;
        }
        i = endA + 1;
        j = endB + 1;
    }
}

} // namespace kestrova
