#include "sync/FileList.h"

#include "sync/VisibleText.h"

#include <cstring>
#include <new>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#endif

namespace kestrova {

namespace {

constexpr std::size_t kBlockSize = 1 << 20;
constexpr std::size_t kPageSize = 4096;

// Memory of its own for one block, or null.
void* MapBlock(std::size_t capacity) {
#ifdef _WIN32
    return ::VirtualAlloc(nullptr, capacity, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
#else
    void* data =
        ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return data == MAP_FAILED ? nullptr : data;
#endif
}

void UnmapBlock(void* data, [[maybe_unused]] std::size_t capacity) {
#ifdef _WIN32
    ::VirtualFree(data, 0, MEM_RELEASE);
#else
    ::munmap(data, capacity);
#endif
}

} // namespace

FileList::~FileList() {
    clear();
}

void FileList::release(Block& block) {
    UnmapBlock(block.data, block.capacity);
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
        void* data = MapBlock(capacity);
        if (data == nullptr) {
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
