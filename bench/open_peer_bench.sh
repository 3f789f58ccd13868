#!/bin/sh
# Opens the same generated 50 MB Shift-JIS diary in Pelmora and in FeatherPad, the Qt plain text
# editor a writer might use instead, and prints time and peak memory of both side by side.
#   Pelmora:    document_bench's open, from the open call until the event loop is idle.
#   FeatherPad: from its start until its processor time stops growing (its start-up included;
#               an empty file gives the start-up alone), peak memory from /usr/bin/time -v.
# Both run offscreen. Without featherpad installed, only Pelmora is measured.
#
# Usage: bench/open_peer_bench.sh [document_bench] [runs]
set -eu

bench=${1:-$(dirname "$0")/../build-deb/bench/document_bench}
runs=${2:-3}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
file=$dir/diary.htm
"$bench" 50 write "$file"
: > "$dir/empty.htm"

i=0
while [ "$i" -lt "$runs" ]; do
    printf 'pelmora     '
    "$bench" 50 open "$file" 2>/dev/null
    i=$((i + 1))
done

if ! command -v featherpad > /dev/null; then
    echo "featherpad is not installed: the peer run is skipped"
    exit 0
fi

# Processor time of a process in clock ticks.
ticks() {
    awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo gone
}

now_ms() {
    echo $(($(date +%s%N) / 1000000))
}

# Starts featherpad on $1 and prints the time until it has used no processor time for half a
# second, the processor time it used, and its peak memory.
peer() {
    start=$(now_ms)
    QT_QPA_PLATFORM=offscreen /usr/bin/time -v -o "$dir/time.txt" featherpad "$1" \
        > /dev/null 2>&1 &
    timer=$!
    pid=
    while [ -z "$pid" ]; do
        sleep 0.01
        pid=$(pgrep -P "$timer" || true)
    done
    last=$(ticks "$pid")
    busy_until=$(now_ms)
    quiet=0
    while [ "$quiet" -lt 10 ]; do
        sleep 0.05
        t=$(ticks "$pid")
        if [ "$t" = "$last" ]; then
            quiet=$((quiet + 1))
        else
            last=$t
            busy_until=$(now_ms)
            quiet=0
        fi
    done
    kill "$pid"
    wait "$timer" || true
    cpu=$(awk -F': ' '/(User|System) time/ { s += $2 } END { printf "%.0f", s * 1000 }' \
        "$dir/time.txt")
    peak=$(awk -F': ' '/Maximum resident/ { print int($2 / 1024) }' "$dir/time.txt")
    echo "until idle $((busy_until - start)) ms (processor $cpu ms)  peak memory $peak MB"
}

printf 'featherpad  empty file: '
peer "$dir/empty.htm"
i=0
while [ "$i" -lt "$runs" ]; do
    printf 'featherpad  diary:      '
    peer "$file"
    i=$((i + 1))
done
