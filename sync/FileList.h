#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

// A growing text of paths, each shown as VisibleText shows it and followed by "\r\n".
// It is kept in blocks of memory mapped for it alone, filled in turn, so growing never
// copies what is already there; handing the text over to the report returns each
// block to the system as soon as it has been copied. A pair with a long list thus
// needs memory for about one copy of it, where a plain string needs up to three while
// it grows and is handed over.
class FileList {
public:
    FileList() = default;
    ~FileList();
    FileList(const FileList&) = delete;
    FileList& operator=(const FileList&) = delete;

    // Appends `path` as the report shows it (see VisibleText).
    void add(std::string_view path);
    bool empty() const { return size_ == 0; }
    std::size_t size() const { return size_; }
    // Empties the list and returns its memory.
    void clear();
    // Appends the whole text to `out` and empties the list.
    void moveTo(std::string& out);

private:
    struct Block {
        char* data;
        std::size_t capacity;
        std::size_t used;
    };
    static void release(Block& block);
    void addShown(std::string_view path);

    std::vector<Block> blocks_;
    std::size_t size_ = 0;
};

} // namespace kestrova
