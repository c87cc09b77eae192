#!/usr/bin/env bash
# The README's test command. On a fresh machine it installs what is missing, builds every
# tier and runs every test: host, host-asan, the Windows build under Wine (unit, Win32
# layer, end-to-end) and the fuzzers. Ends with one line "N passed, M failed".
#   scripts/test.sh                 all tiers
#   scripts/test.sh host mingw-i686 only the tiers named (host, host-asan, mingw-i686, fuzz)
set -u
cd "$(dirname "$0")/.."
TW_ROOT=$(pwd)
export TW_ROOT

bash scripts/install-deps.sh || { echo "0 passed, 1 failed"; exit 1; }
. scripts/wine-env.sh

tiers=("$@")
[ ${#tiers[@]} -eq 0 ] && tiers=(host host-asan mingw-i686 mingw-x86_64 package fuzz)
jobs=$(nproc 2>/dev/null || echo 2)
logs=build/logs
mkdir -p "$logs"

passed=0
failed=0

note() { printf '== %s\n' "$*"; }

build_preset() {
    local preset=$1
    note "build $preset"
    if ! cmake --preset "$preset" >"$logs/$preset.configure.log" 2>&1; then
        tail -n 40 "$logs/$preset.configure.log"; return 1
    fi
    if ! cmake --build --preset "$preset" -j "$jobs" >"$logs/$preset.build.log" 2>&1; then
        grep -E 'error|Error' "$logs/$preset.build.log" | head -n 40; return 1
    fi
}

# Counts the cases of one ctest log: GoogleTest summaries and the PASS/FAIL lines of our
# scripted tests. A test that failed without saying so (a crash) counts once.
count_log() {
    local log=$1 rc=$2 p f
    p=$(grep -oE '\[  PASSED  \] [0-9]+ test' "$log" | awk '{s+=$4} END {print s+0}')
    f=$(grep -oE '\[  FAILED  \] [0-9]+ tests?, listed below' "$log" | awk '{s+=$4} END {print s+0}')
    p=$((p + $(grep -cE '^([0-9]+: )?PASS: ' "$log")))
    f=$((f + $(grep -cE '^([0-9]+: )?FAIL: ' "$log")))
    if [ "$rc" -ne 0 ] && [ "$f" -eq 0 ]; then f=1; fi
    passed=$((passed + p))
    failed=$((failed + f))
    note "$(basename "$log" .log): $p passed, $f failed"
}

run_ctest_tier() {
    local preset=$1
    if ! build_preset "$preset"; then failed=$((failed + 1)); return; fi
    note "test $preset"
    local rc=0
    ctest --preset "$preset" -V >"$logs/$preset.log" 2>&1 || rc=$?
    [ $rc -ne 0 ] && grep -E 'FAILED|FAIL:|Failure|error' "$logs/$preset.log" | head -n 60
    count_log "$logs/$preset.log" $rc
}

run_fuzz_tier() {
    if ! build_preset fuzz; then failed=$((failed + 1)); return; fi
    local targets=(build/fuzz/tests/fuzz/*_fuzz)
    [ -e "${targets[0]}" ] || return 0
    local total=${TW_FUZZ_SECONDS:-60}
    local each=$((total / ${#targets[@]}))
    [ $each -lt 20 ] && each=20
    local t name seeds work rc args
    for t in "${targets[@]}"; do
        name=$(basename "$t")
        seeds=tests/fuzz/corpus/${name%_fuzz}
        work=$(mktemp -d)
        note "fuzz $name for ${each}s"
        args=("$work")
        [ -d "$seeds" ] && args+=("$seeds")
        rc=0
        "$t" -max_total_time="$each" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
             "${args[@]}" >"$logs/$name.log" 2>&1 || rc=$?
        rm -rf "$work"
        if [ $rc -eq 0 ]; then
            passed=$((passed + 1)); note "$name: passed"
        else
            failed=$((failed + 1)); note "$name: FAILED"; tail -n 40 "$logs/$name.log"
        fi
    done
}

# The same sources in another folder, packaged again a little later: a release must not
# depend on where or when it was built. Only the packaged targets are built there.
package_twin() {
    local twin=build/package-twin/src
    rm -rf build/package-twin && mkdir -p "$twin"
    tar -C "$TW_ROOT" --exclude=./build --exclude='./build-*' --exclude=./.git -cf - . |
        tar -C "$twin" -xf -
    SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || true)}
    if [ -n "$SOURCE_DATE_EPOCH" ]; then export SOURCE_DATE_EPOCH; else unset SOURCE_DATE_EPOCH; fi
    bash "$twin/scripts/package.sh"
}

# scripts/package.sh builds both architectures and writes build/dist, then once more from a
# copy of the tree; the check compares the two, unpacks the zips and runs the installer and
# uninstaller in a fresh Wine prefix of its own.
run_package_tier() {
    note "package"
    local log=$logs/package.log rc=0 version start=$SECONDS
    {
        bash scripts/package.sh && package_twin &&
            cmake --build --preset mingw-x86_64 -j "$jobs" --target tw_driver >/dev/null &&
            version=$(sed -n 's/^#define TW_VERSION_TEXT "\(.*\)"$/\1/p' \
                      build/mingw-x86_64/generated/tw_version.h) &&
            bash tests/package/check.sh build/dist "$version" \
                 build/mingw-x86_64/tests/e2e/tw_driver.exe build/package-twin/src/build/dist
    } >"$log" 2>&1 || rc=$?
    [ $rc -ne 0 ] && grep -E 'FAIL:|differ|error|Error' "$log" | head -n 40
    count_log "$log" $rc
    note "package tier took $((SECONDS - start)) s"
}

need_display=0
for t in "${tiers[@]}"; do
    case $t in mingw-i686|mingw-x86_64|package) need_display=1 ;; esac
done
if [ $need_display -eq 1 ]; then
    tw_start_display || failed=$((failed + 1))
    tw_wine_prefix_init
fi

for t in "${tiers[@]}"; do
    case $t in
        host|host-asan|mingw-i686|mingw-x86_64) run_ctest_tier "$t" ;;
        package) run_package_tier ;;
        fuzz) run_fuzz_tier ;;
        *) echo "unknown tier: $t" >&2; failed=$((failed + 1)) ;;
    esac
done

if [ $need_display -eq 1 ]; then
    wineserver -k 2>/dev/null || true
    tw_stop_display
fi

echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
