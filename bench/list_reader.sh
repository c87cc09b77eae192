#!/usr/bin/env bash
# The list-file reader against reading the same file whole with fread and against a
# reader built on libinih, at 10,000 and 100,000 entries. Each read is a process of its
# own; the best of RUNS runs counts. Time is the whole process (start to exit); memory is
# what the process grew by during the read, against the file's size.
#   bench/list_reader.sh [RUNS]
set -eu
cd "$(dirname "$0")/.."
runs=${1:-7}
cmake --preset host >/dev/null
cmake --build --preset host --target tw_list_reader >/dev/null
tool=build/host/bench/tw_list_reader
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Best whole-process milliseconds and the largest growth in KiB over the runs.
measure() {
    local mode=$1 file=$2 best= grow=0 i t0 t1 out ms kb
    for ((i = 0; i < runs; i++)); do
        t0=$(date +%s%N)
        out=$("$tool" "$mode" "$file") || return 1
        t1=$(date +%s%N)
        ms=$(( (t1 - t0) / 10000 ))
        kb=${out#* }
        if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
        if [ "$kb" -gt "$grow" ]; then grow=$kb; fi
    done
    echo "$best $grow"
}

printf '%-8s %9s %10s %10s %10s %9s %8s %10s\n' entries "file MiB" "fread ms" "ours ms" "inih ms" \
    "ours/fr" "mem/file" "inih/ours"
declare -A ours
for n in 10000 100000; do
    file=$work/list$n.map
    "$tool" write $n "$file"
    bytes=$(stat -c %s "$file")
    # Read once so every reader finds the file in the page cache.
    cat "$file" >/dev/null
    read -r fr _ < <(measure fread "$file")
    read -r tw twkb < <(measure tarnwick "$file")
    ih=
    if "$tool" inih "$file" >/dev/null 2>&1; then read -r ih _ < <(measure inih "$file"); fi
    ours[$n]=$tw
    awk -v n=$n -v b="$bytes" -v fr="$fr" -v tw="$tw" -v ih="$ih" -v kb="$twkb" 'BEGIN {
        printf "%-8d %9.1f %10.2f %10.2f %10s %9.1f %8.2f %10s\n", n, b / 1048576, fr / 100,
            tw / 100, ih == "" ? "-" : sprintf("%.2f", ih / 100), tw / fr, kb * 1024 / b,
            ih == "" ? "-" : sprintf("%.1f", ih / tw) }'
done
awk -v a="${ours[10000]}" -v b="${ours[100000]}" 'BEGIN { printf "growth 10k->100k: %.1fx\n", b / a }'
