#include "sync/FileList.h"

#include "sync/VisibleText.h"

#include <cstring>
#include <new>
#include <sys/mman.h>

namespace kestrova {

namespace {

constexpr std::size_t kBlockSize = 1 << 20;
constexpr std::size_t kPageSize = 4096;

} // namespace

FileList::~FileList() {
    clear();
}

void FileList::release(Block& block) {
    ::munmap(block.data, block.capacity);
    block.data = nullptr;
}

void FileList::add(std::string_view path) {
    if (NeedsEscaping(path)) {
        const std::string shown = VisibleText(path);
        addShown(shown);
    } else {
        addShown(path);
    }
}

void FileList::addShown(std::string_view path) {
    const std::size_t needed = path.size() + 2;
    if (blocks_.empty() || blocks_.back().capacity - blocks_.back().used < needed) {
        // Pages are touched only as they fill, so a short list costs little.
        const std::size_t capacity =
            needed > kBlockSize ? (needed + kPageSize - 1) / kPageSize * kPageSize : kBlockSize;
        void* data =
            ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (data == MAP_FAILED) {
            throw std::bad_alloc();
        }
        blocks_.push_back({static_cast<char*>(data), capacity, 0});
    }
    Block& block = blocks_.back();
    std::memcpy(block.data + block.used, path.data(), path.size());
    std::memcpy(block.data + block.used + path.size(), "\r\n", 2);
    block.used += needed;
    size_ += needed;
}

void FileList::clear() {
    for (Block& block : blocks_) {
        release(block);
    }
    blocks_.clear();
    size_ = 0;
}

void FileList::moveTo(std::string& out) {
    out.reserve(out.size() + size_);
    for (Block& block : blocks_) {
        out.append(block.data, block.used);
        release(block);
    }
    blocks_.clear();
    size_ = 0;
}

} // namespace kestrova
