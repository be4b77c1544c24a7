#include "sync/FileList.h"

namespace kestrova {

void FileList::add(std::string_view path) {
    const std::size_t needed = path.size() + 2;
    if (blocks_.empty() || blocks_.back().capacity() - blocks_.back().size() < needed) {
        blocks_.emplace_back();
        blocks_.back().reserve(needed > kBlockSize ? needed : kBlockSize);
    }
    blocks_.back().append(path);
    blocks_.back().append("\r\n");
    size_ += needed;
}

void FileList::clear() {
    blocks_ = {};
    size_ = 0;
}

void FileList::moveTo(std::string& out) {
    out.reserve(out.size() + size_);
    for (std::string& block : blocks_) {
        out += block;
        block = {};
    }
    clear();
}

} // namespace kestrova
