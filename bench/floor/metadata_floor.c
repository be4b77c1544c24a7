// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

/* bench-floor: the least work any program must do to find out that a target tree is
 * up to date with its source: read every source folder, look at every source entry
 * and at the same name in the target, and nothing else. Folders are opened relative
 * to their parent's handle, entries looked at relative to their folder's handle. */

#define _GNU_SOURCE
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static long entries;
static long missing;

static void walk(int source, int target) {
    DIR* dir = fdopendir(source);
    if (dir == NULL) {
        close(source);
        return;
    }
    struct dirent* entry;
    while ((entry = readdir(dir)) != NULL) {
        const char* name = entry->d_name;
        if (strcmp(name, ".") == 0 || strcmp(name, "..") == 0) {
            continue;
        }
        struct stat s, t;
        ++entries;
        if (fstatat(source, name, &s, AT_SYMLINK_NOFOLLOW) != 0) {
            continue;
        }
        if (target < 0 || fstatat(target, name, &t, AT_SYMLINK_NOFOLLOW) != 0) {
            ++missing;
        }
        if (S_ISDIR(s.st_mode)) {
            int sub = openat(source, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            int tsub = target < 0 ? -1 : openat(target, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (sub >= 0) {
                walk(sub, tsub);
            }
            if (tsub >= 0) {
                close(tsub);
            }
        }
    }
    closedir(dir);
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fputs("usage: bench-floor SOURCE TARGET\n", stderr);
        return 2;
    }
    int source = open(argv[1], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int target = open(argv[2], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (source < 0) {
        perror(argv[1]);
        return 1;
    }
    walk(source, target);
    if (target >= 0) {
        close(target);
    }
    printf("%ld entries, %ld missing in the target\n", entries, missing);
    return 0;
}
