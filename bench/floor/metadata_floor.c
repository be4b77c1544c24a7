// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

/* bench-floor: the least work any program must do to find out that a target tree is
 * up to date with its source: read every source folder, look at every source entry
 * and at the same name in the target, and nothing else. Folders are opened relative
 * to their parent's handle, entries looked at relative to their folder's handle.
 *
 * With --threads N, the tree is first opened breadth-first on one thread until it
 * splits into at least 8 x N sub-trees (or no folder is left), then N threads walk
 * those sub-trees, each taking the next one when done: the least work on N cores. */

#define _GNU_SOURCE
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <stdatomic.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static _Atomic long entries;
static _Atomic long missing;

/* One thread's counts, added to the totals once it ends. */
struct counts {
    long entries;
    long missing;
};

/* Reads the source folder `source` (closed here) and looks at each entry there and at
 * the same name in `target` (left open; -1 when the target lacks the folder). Each
 * sub-folder pair that opens in the source goes to `found`, which owns both handles. */
static void read_folder(int source, int target, struct counts* counts,
                        void (*found)(int sub, int tsub, void* context), void* context) {
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
        ++counts->entries;
        if (fstatat(source, name, &s, AT_SYMLINK_NOFOLLOW) != 0) {
            continue;
        }
        if (target < 0 || fstatat(target, name, &t, AT_SYMLINK_NOFOLLOW) != 0) {
            ++counts->missing;
        }
        if (S_ISDIR(s.st_mode)) {
            const int sub = openat(source, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            const int tsub =
                target < 0 ? -1 : openat(target, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (sub >= 0) {
                found(sub, tsub, context);
            } else if (tsub >= 0) {
                close(tsub);
            }
        }
    }
    closedir(dir);
}

static void walk(int source, int target, struct counts* counts);

static void walk_found(int sub, int tsub, void* counts) {
    walk(sub, tsub, counts);
    if (tsub >= 0) {
        close(tsub);
    }
}

/* Walks the tree below the folder pair depth first on this thread. */
static void walk(int source, int target, struct counts* counts) {
    read_folder(source, target, counts, walk_found, counts);
}

/* The sub-trees left to walk: open folder pairs, taken in turn by the threads. */
static int* subtrees;
static size_t subtreeCount;
static _Atomic size_t nextSubtree;

static void* walker(void* unused) {
    (void)unused;
    struct counts counts = {0, 0};
    for (;;) {
        const size_t i = atomic_fetch_add(&nextSubtree, 1);
        if (i >= subtreeCount) {
            break;
        }
        walk(subtrees[2 * i], subtrees[2 * i + 1], &counts);
        if (subtrees[2 * i + 1] >= 0) {
            close(subtrees[2 * i + 1]);
        }
    }
    atomic_fetch_add(&entries, counts.entries);
    atomic_fetch_add(&missing, counts.missing);
    return NULL;
}

/* Open folder pairs still to be read, in a growing array. */
struct pair_list {
    int* pairs;
    size_t count;
    size_t room;
};

static void append_found(int sub, int tsub, void* list) {
    struct pair_list* l = list;
    if (l->count == l->room) {
        l->room = l->room * 2 + 16;
        l->pairs = realloc(l->pairs, l->room * 2 * sizeof(int));
    }
    l->pairs[2 * l->count] = sub;
    l->pairs[2 * l->count + 1] = tsub;
    ++l->count;
}

/* Reads the folder pair at `at` of `list` on this thread, as walk() does, and appends
 * its sub-folder pairs to `list` instead of walking them. */
static void expand(struct pair_list* list, size_t at, struct counts* counts) {
    const int source = list->pairs[2 * at];
    const int target = list->pairs[2 * at + 1];
    read_folder(source, target, counts, append_found, list);
    if (target >= 0) {
        close(target);
    }
}

int main(int argc, char** argv) {
    long threads = 1;
    if (argc == 5 && strcmp(argv[1], "--threads") == 0) {
        threads = strtol(argv[2], NULL, 10);
        argv += 2;
        argc -= 2;
    }
    if (argc != 3 || threads < 1 || threads > 64) {
        fputs("usage: bench-floor [--threads N] SOURCE TARGET\n", stderr);
        return 2;
    }
    int source = open(argv[1], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int target = open(argv[2], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (source < 0) {
        perror(argv[1]);
        return 1;
    }
    struct counts counts = {0, 0};
    if (threads == 1) {
        walk(source, target, &counts);
        if (target >= 0) {
            close(target);
        }
        printf("%ld entries, %ld missing in the target\n", counts.entries, counts.missing);
        return 0;
    }
    struct pair_list list = {NULL, 0, 0};
    append_found(source, target, &list);
    size_t first = 0; /* pairs before `first` were expanded */
    while (first < list.count && list.count - first < (size_t)(8 * threads)) {
        expand(&list, first++, &counts);
    }
    subtrees = list.pairs + 2 * first;
    subtreeCount = list.count - first;
    entries = counts.entries;
    missing = counts.missing;
    pthread_t ids[64];
    for (long i = 0; i < threads; ++i) {
        pthread_create(&ids[i], NULL, walker, NULL);
    }
    for (long i = 0; i < threads; ++i) {
        pthread_join(ids[i], NULL);
    }
    free(list.pairs);
    printf("%ld entries, %ld missing in the target\n", (long)entries, (long)missing);
    return 0;
}
