#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

// A growing text of paths, each followed by "\r\n". It is kept in blocks that are
// filled in turn, so growing never copies what is already there, and handing the
// text over to the report frees each block as soon as it has been copied: a pair
// with a long list needs memory for about one copy of it, not three.
class FileList {
public:
    void add(std::string_view path);
    bool empty() const { return size_ == 0; }
    std::size_t size() const { return size_; }
    // Empties the list and releases its memory.
    void clear();
    // Appends the whole text to `out` and empties the list.
    void moveTo(std::string& out);

private:
    static constexpr std::size_t kBlockSize = 64 * 1024;
    std::vector<std::string> blocks_;
    std::size_t size_ = 0;
};

} // namespace kestrova
