// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "sync/PairCheck.h"

#include "fs/FileSystem.h"

#include <climits>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
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

bool SameOrInside(const std::string& inner, const std::string& outer) {
    return outer == "/" || inner == outer ||
           (inner.size() > outer.size() && inner.compare(0, outer.size(), outer) == 0 &&
            inner[outer.size()] == '/');
}

bool SameOrNested(const std::string& a, const std::string& b) {
    return SameOrInside(a, b) || SameOrInside(b, a);
}

namespace {

// "." and ".." say nothing certain about a folder that may be missing or reached
// through a link (missing/.. names the parent only as text), so roots with them are
// not taken; nor are paths with a NUL byte, which the system would cut short.
bool PlainFullPath(const std::string& path) {
    if (path.empty() || path.front() != '/' || path.find('\0') != std::string::npos) {
        return false;
    }
    std::size_t at = 0;
    while (at < path.size()) {
        const std::size_t end = std::min(path.find('/', at), path.size());
        const std::string_view name(path.data() + at, end - at);
        if (name == "." || name == "..") {
            return false;
        }
        at = end + 1;
    }
    return true;
}

// The mount table escapes blanks, tabs, new lines and backslashes as octal.
std::string Unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size()) {
            const std::string digits = text.substr(i + 1, 3);
            if (digits.find_first_not_of("01234567") == std::string::npos) {
                out += static_cast<char>(std::stoi(digits, nullptr, 8));
                i += 3;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

} // namespace

bool PlaceInFileSystem(const std::string& resolvedPath, FileSystemPlace& place) {
    std::ifstream table("/proc/self/mountinfo");
    if (!table) {
        return false;
    }
    std::string line;
    std::string bestPoint;
    bool found = false;
    while (std::getline(table, line)) {
        // id, parent id, device, root in its file system, mount point, ...
        std::istringstream fields(line);
        std::string id, parent, device, root, point;
        if (!(fields >> id >> parent >> device >> root >> point)) {
            continue;
        }
        point = Unescape(point);
        // The last mount on the longest matching point is the one that shows the path.
        if (SameOrInside(resolvedPath, point) && (!found || point.size() >= bestPoint.size())) {
            found = true;
            bestPoint = point;
            root = Unescape(root);
            const std::string rest =
                bestPoint == "/" ? resolvedPath : resolvedPath.substr(bestPoint.size());
            place.device = device;
            place.path = root == "/" ? (rest.empty() ? "/" : rest) : root + rest;
        }
    }
    return found;
}

bool AcceptableRoot(const std::string& path) {
    return PlainFullPath(path);
}

} // namespace kestrova
