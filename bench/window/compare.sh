#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Kestrova developers
# SPDX-License-Identifier: MIT
# Compares a run through the window (offscreen) with kestrova-sync on the same tree:
# a first run that copies every file, and a run over an unchanged tree, which only
# examines files and so shows the window's own cost most. Prints the median of each
# and the ratio window / kestrova-sync (target: at most 1.10).
# Usage: bench/window/compare.sh [folders] [files per folder] [runs]
set -euo pipefail
cd "$(dirname "$0")/../.."
folders=${1:-200}
files=${2:-100}
runs=${3:-5}

cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTROVA_BUILD_TESTS=OFF >/dev/null
cmake --build build/bench -j2 --target kestrova-sync kestrova-bench-window >/dev/null
cli=build/bench/cli/kestrova-sync
window=build/bench/app/bench-window/kestrova-bench-window

work=bench/work/window
rm -rf "$work"
mkdir -p "$work/src"
for ((d = 0; d < folders; d++)); do
    mkdir -p "$work/src/d$d"
    for ((f = 0; f < files; f++)); do
        printf 'file %d %d\n' "$d" "$f" >"$work/src/d$d/f$f.txt"
    done
done
src=$(realpath "$work/src")

# kestrova-sync: the whole process (its start-up is a few milliseconds); the window:
# from Start to the completion box, as kestrova-bench-window measures it.
seconds() {
    local TIMEFORMAT=%R
    { time "$@" >/dev/null 2>&1; } 2>&1
}
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

measure() { # kind: fresh or unchanged; program...
    local kind=$1
    shift
    for ((i = 0; i < runs; i++)); do
        if [ "$kind" = fresh ]; then
            rm -rf "$work/dst"
        fi
        mkdir -p "$work/dst"
        if [ "$1" = "$window" ]; then
            "$window" "$src" "$(realpath "$work/dst")"
        else
            seconds "$@" "$src" "$(realpath "$work/dst")"
        fi
    done | median
}

echo "tree: $folders folders x $files files"
for kind in fresh unchanged; do
    rm -rf "$work/dst"
    if [ "$kind" = unchanged ]; then
        mkdir -p "$work/dst" && "$cli" "$src" "$(realpath "$work/dst")" >/dev/null
    fi
    c=$(measure "$kind" "$cli")
    w=$(measure "$kind" "$window")
    echo "$kind: kestrova-sync ${c}s, window ${w}s, ratio $(awk -v w="$w" -v c="$c" 'BEGIN {printf "%.2f", w / c}')"
done
