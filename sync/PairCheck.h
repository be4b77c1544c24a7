// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include <string>

namespace kestrova {

class FileSystem;

// Why a pair is left out of a run. A run never writes outside a pair's target
// folder and never deletes inside its source folder; pairs for which that cannot be
// assured are skipped before either pass runs.
enum class PairProblem {
    None,
    NotAbsolute,      // a root is empty, not a full path, or has "." or ".." or NUL in it
    SameOrNested,     // the roots are one folder, or one lies inside the other
    SourceUnreadable, // the source root is missing or cannot be read
    TargetBusy,       // another run holds the target root's lock
};

// The two roots in full-path form, the form the passes open and show.
struct PairRoots {
    std::string source;
    std::string target;
};

// Lexical full-path form of an absolute path: repeated "/" collapsed, "." and ".."
// resolved, no "/" at the end except for the root itself.
std::string FullPathForm(const std::string& path);

// `path` with `name` appended after one "/".
void AppendName(std::string& path, const char* name);

// Whether `path` can be a pair's root as it stands: a full path of the platform, and
// on Linux one without ".", ".." or NUL, which say nothing certain about the folder.
bool AcceptableRoot(const std::string& path);

// Checks a pair in the order of the reasons above and fills `roots` when it passes.
PairProblem CheckPair(FileSystem& fs, const std::string& source, const std::string& target,
                      PairRoots& roots);

// Where `path` really is: links resolved; for a path that does not exist yet, its
// nearest existing parent resolved and the remaining names appended.
std::string ResolvedLocation(const std::string& fullPath);

// Whether `inner` is the folder `outer` or lies inside it ("/" contains all).
bool SameOrInside(const std::string& inner, const std::string& outer);

// Whether `a` and `b` are the same folder or one contains the other ("/" contains all).
bool SameOrNested(const std::string& a, const std::string& b);

// Where a resolved path lies in its file system, whatever mount shows it: the file
// system's device and the path from that file system's own root. Two bind mounts of
// one folder give the same place.
struct FileSystemPlace {
    std::string device;
    std::string path;
};

// Finds the place of `resolvedPath` from the mount table; false when it cannot be read.
bool PlaceInFileSystem(const std::string& resolvedPath, FileSystemPlace& place);

} // namespace kestrova
