# Trees replaced during a benchmark are moved aside into WORK/trash and deleted
# afterwards in the background, at idle priority: deleting hundreds of thousands of
# files takes minutes, and a copy made just after a large deletion pays for it (the
# file system's inode allocation passes over recently freed inodes). Sourced by
# bench/run and bench/scale, which set `work`.

aside() {
    if [ -e "$1" ]; then
        mv "$1" "$work/trash/$(date +%s%N)"
    fi
}

# Removes the moved-aside trees in the background; a later run waits for it.
clean_up_in_background() {
    local old
    old=$work/deleting-$(date +%s%N)
    mv "$work/trash" "$old"
    mkdir "$work/trash"
    nohup nice -n 19 ionice -c 3 rm -rf "$work"/deleting-* >/dev/null 2>&1 &
    echo $! >"$work/cleaning.pid"
}

wait_for_clean_up() {
    local pid
    pid=$(cat "$work/cleaning.pid" 2>/dev/null || true)
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        echo "waiting for the clean-up of an earlier run" >&2
        while kill -0 "$pid" 2>/dev/null; do sleep 2; done
    fi
    if compgen -G "$work/deleting-*" >/dev/null; then
        rm -rf "$work"/deleting-*
    fi
}

