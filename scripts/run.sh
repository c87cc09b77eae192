#!/usr/bin/env bash
# The README's run command: builds the program and starts it under Wine in build/run, a
# directory holding the program, the shipped settings file, the sample list and the help.
#   scripts/run.sh              runs the program until it is ended (Exit, or Ctrl+C here)
#   scripts/run.sh --shot-only  starts it, writes build/run/panel.png and ends it
# With a display the program simply runs in the foreground. Without one it gets its own Xvfb
# and a Wine virtual desktop, and a screenshot of the panel shows what it looks like.
set -u
cd "$(dirname "$0")/.."
TW_ROOT=$(pwd)
export TW_ROOT

shot_only=0
case "${1:-}" in
    --shot-only) shot_only=1 ;;
    "") ;;
    *) echo "usage: scripts/run.sh [--shot-only]" >&2; exit 2 ;;
esac

bash scripts/install-deps.sh || exit 1
# A prefix of its own: the program runs once per Wine session, and the end-to-end tests
# start their own copies in the test prefix.
export TW_WINEPREFIX=${TW_WINEPREFIX:-$TW_ROOT/build/wine-prefix-run}
. scripts/wine-env.sh

build=build/mingw-i686
echo "run: building $build"
mkdir -p build/logs
if ! { cmake --preset mingw-i686 && cmake --build --preset mingw-i686 -j 2 --target Tarnwick tarnwick_help tw_driver; } \
        >build/logs/run.build.log 2>&1; then
    grep -E 'error|Error' build/logs/run.build.log | head -n 40
    echo "run: the build failed, see build/logs/run.build.log" >&2
    exit 1
fi

run_dir=$TW_ROOT/build/run
mkdir -p "$run_dir"
cp "$build/Tarnwick.exe" "$build/tarnwick.ini" "$build/sample.map" "$build/tarnwick.chm" \
    "$build/tarnwick-en.chm" "$run_dir/" || exit 1

headless=0
[ -z "${DISPLAY:-}" ] && headless=1
tw_start_display || exit 1
tw_wine_prefix_init

# The program reads tarnwick.ini from its current directory.
cd "$run_dir"
if [ $headless -eq 0 ] && [ $shot_only -eq 0 ]; then
    exec wine Tarnwick.exe
fi

panel="Tarnwick  --- www.tarnwick.org"
export TW_DESKTOP=tarnwick
driver=$TW_ROOT/$build/tests/e2e/tw_driver.exe
wine explorer "/desktop=$TW_DESKTOP,1024x768" Tarnwick.exe >"$run_dir/wine.log" 2>&1 &
desktop_pid=$!

finish() {
    # End the program the way a user does, so it leaves no tray icon or process behind.
    if wine "$driver" wait-window "$panel" 0 2>/dev/null; then
        wine "$driver" press-exit "$panel" 1 5000 >/dev/null 2>&1
    fi
    kill "$desktop_pid" 2>/dev/null
    wait "$desktop_pid" 2>/dev/null
    tw_stop_display
}
trap finish EXIT
trap 'exit 130' INT TERM

if ! wine "$driver" wait-window "$panel" 30000; then
    echo "run: the panel did not appear, see $run_dir/wine.log" >&2
    exit 1
fi
sleep 1
import -window root "$run_dir/panel.png" || exit 1
echo "$run_dir/panel.png"
[ $shot_only -eq 1 ] && exit 0

echo "run: Tarnwick runs on display $DISPLAY; Ctrl+C ends it"
wait "$desktop_pid"
