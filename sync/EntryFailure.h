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
        // Reading a file's source (the disk holding it failed); the path is its source path.
        ReadSource,
        // Making a pair's copies durable: its target's file system reported a write
        // error; the path is the target folder. The pair's copies are listed as failed
        // without a reason each.
        MakeDurable,
        // Leaving a whole pair out; the path is its target folder, the reason one of the
        // run's own below.
        SkipPair,
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
// A link that the port cannot remove without removing what it points to (Wine's view
// of a Unix symbolic link) stays in place.
inline constexpr int kReasonLinkKept = -9;
// A link the target cannot be given as a link (a junction, a placeholder, a reparse
// point of another kind): what it points to is not read in its place.
inline constexpr int kReasonLinkNotCopied = -10;
// The Recycle Bin takes no path of 260 characters or more, nor a name that only the
// "\\?\" form reaches (ending in a dot or a space, a device name): the entry stays.
inline constexpr int kReasonNotForRecycleBin = -11;
// Why a pair is left out: another run holds its target; a folder is not a full path;
// the folders are the same or one holds the other; the source cannot be read.
inline constexpr int kReasonTargetBusy = -12;
inline constexpr int kReasonNotAbsolute = -13;
inline constexpr int kReasonNested = -14;
inline constexpr int kReasonSourceUnreadable = -15;

} // namespace kestrova
