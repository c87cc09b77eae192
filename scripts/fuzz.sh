#!/usr/bin/env bash
# Runs every fuzz target (or the ones named) for a given number of executions, for long
# runs by hand; the test command keeps its own short, time-bounded runs. Findings (crash,
# leak and timeout inputs) land in build/fuzz/findings/TARGET, logs in build/logs.
#   scripts/fuzz.sh [RUNS] [TARGET...]     e.g. nice -n 19 scripts/fuzz.sh 10000000
set -eu
cd "$(dirname "$0")/.."
runs=${1:-1000000}
shift || true
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j 2 >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for t in build/fuzz/tests/fuzz/*_fuzz; do targets+=("$(basename "$t")"); done
fi
mkdir -p build/logs
status=0
for name in "${targets[@]}"; do
    bin=build/fuzz/tests/fuzz/$name
    seeds=tests/fuzz/corpus/${name%_fuzz}
    findings=build/fuzz/findings/$name
    work=build/fuzz/corpus/$name
    mkdir -p "$findings" "$work"
    args=("$work")
    [ -d "$seeds" ] && args+=("$seeds")
    log=build/logs/fuzz-$name.log
    start=$(date +%s)
    rc=0
    "$bin" -runs="$runs" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$findings/" "${args[@]}" >"$log" 2>&1 || rc=$?
    secs=$(( $(date +%s) - start ))
    execs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$' || echo 0)
    speed=$(grep -oE 'stat::average_exec_per_sec: *[0-9]+' "$log" | grep -oE '[0-9]+$' || echo 0)
    found=$(find "$findings" -type f | wc -l)
    printf '%s: %s executions in %ss (%s/s), %s findings, exit %s\n' "$name" "$execs" "$secs" \
        "$speed" "$found" "$rc"
    [ "$rc" -eq 0 ] && [ "$found" -eq 0 ] || status=1
done
exit $status
