#include "sync/PairCheck.h"

#include "sync/FileSystem.h"

#include <climits>
#include <cstdlib>
#include <memory>
#include <vector>

namespace kestrova {

std::string FullPathForm(const std::string& path) {
    std::vector<std::string> names;
    std::size_t at = 0;
    while (at < path.size()) {
        const std::size_t end = std::min(path.find('/', at), path.size());
        const std::string name = path.substr(at, end - at);
        if (name == "..") {
            if (!names.empty()) {
                names.pop_back();
            }
        } else if (!name.empty() && name != ".") {
            names.push_back(name);
        }
        at = end + 1;
    }
    std::string form;
    for (const std::string& name : names) {
        form += '/';
        form += name;
    }
    return form.empty() ? "/" : form;
}

void AppendName(std::string& path, const char* name) {
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    path += name;
}

std::string ResolvedLocation(const std::string& fullPath) {
    std::string existing = fullPath;
    std::string rest;
    for (;;) {
        std::unique_ptr<char, decltype(&std::free)> real(::realpath(existing.c_str(), nullptr),
                                                         &std::free);
        if (real) {
            std::string resolved = real.get();
            if (!rest.empty()) {
                if (resolved.back() != '/') {
                    resolved += '/';
                }
                resolved += rest;
            }
            return resolved;
        }
        if (existing == "/") {
            return fullPath;
        }
        const std::size_t slash = existing.rfind('/');
        const std::string name = existing.substr(slash + 1);
        rest = rest.empty() ? name : name + "/" + rest;
        existing = slash == 0 ? "/" : existing.substr(0, slash);
    }
}

bool SameOrNested(const std::string& a, const std::string& b) {
    if (a == "/" || b == "/" || a == b) {
        return true;
    }
    const auto inside = [](const std::string& inner, const std::string& outer) {
        return inner.size() > outer.size() && inner.compare(0, outer.size(), outer) == 0 &&
               inner[outer.size()] == '/';
    };
    return inside(a, b) || inside(b, a);
}

PairProblem CheckPair(FileSystem& fs, const std::string& source, const std::string& target,
                      PairRoots& roots) {
    if (source.empty() || target.empty() || source.front() != '/' || target.front() != '/') {
        return PairProblem::NotAbsolute;
    }
    PairRoots full{FullPathForm(source), FullPathForm(target)};
    FolderHandle handle = kNoFolder;
    if (fs.openRoot(full.source, handle) != 0) {
        return PairProblem::SourceUnreadable;
    }
    fs.closeFolder(handle);
    if (SameOrNested(ResolvedLocation(full.source), ResolvedLocation(full.target))) {
        return PairProblem::SameOrNested;
    }
    roots = std::move(full);
    return PairProblem::None;
}

} // namespace kestrova
