// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// Reasons a port or a run gives for leaving an entry alone, beside errno values.

namespace kestrova {

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
