#pragma once

#include <cstdint>

namespace kestrova {

// Why something is listed under a pair's failure heading: the step that failed and
// the reason, an errno value or one of the run's own reasons below.
struct EntryFailure {
    enum class Step : std::uint8_t {
        // Copying a file, link or special file; the path is its source path.
        Copy,
        // Reading a source folder; the path is the folder.
        ReadFolder,
        // Making a source folder's counterpart in the target; the path is the source
        // folder. The entries beneath it are listed but not reported one by one.
        CreateFolder,
        // Opening the pair's target folder; the path is the target folder. The pair's
        // entries are listed but not reported one by one.
        OpenTarget,
        // Deleting in the target; the path is the target entry left in place.
        Prune,
        // Giving a target entry the letter case of its source name, where the target
        // does not tell names apart by case; the path is the source path.
        MatchCase,
    };
    Step step = Step::Copy;
    int reason = 0; // 0 when the reason is not known
};

// The run's own reasons (negative, so that they never clash with an errno value).
inline constexpr int kReasonReadOnlyCopy = -1; // a read-only target copy is not replaced
// The folder is the pair's other folder, or lies inside it, seen through a mount.
inline constexpr int kReasonOtherRoot = -3;
// A mount point inside the target: nothing on another mount is deleted.
inline constexpr int kReasonMountPoint = -4;
// The other tree holds the name as another kind (a folder against a file or link).
inline constexpr int kReasonOtherKind = -5;
// Another name in the source folder differs from this one in letter case only, and
// the target does not tell them apart: the first of them in walk order is copied.
inline constexpr int kReasonCaseCollision = -6;
// The target's file system cannot store the name: it keeps to Windows' rules for
// names (see StorableOnWindows).
inline constexpr int kReasonNameNotStorable = -7;
// Deletions go to the trash, and the file system holding the entry has none usable.
inline constexpr int kReasonNoTrash = -8;

} // namespace kestrova
