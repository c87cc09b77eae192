# Sourced by the benchmarks that run the Windows build under Wine: builds the program and
# the driver, brings a display and a warm wineserver, and lays out a fresh work folder
# holding the program to measure. The panel is asked to exit when the script ends.
#   tw_bench_setup WORKDIR EXE   sets $driver, $panel and $work
. scripts/wine-env.sh

tw_bench_setup() {
    cmake --preset mingw-i686 >/dev/null
    cmake --build --preset mingw-i686 -j 2 --target Tarnwick tw_driver >/dev/null
    driver=build/mingw-i686/tests/e2e/tw_driver.exe
    panel="Tarnwick  --- www.tarnwick.org"

    tw_wine_env
    own_display=0
    if [ -z "${DISPLAY:-}" ]; then tw_start_display; own_display=1; fi
    tw_wine_prefix_init
    wineserver -p </dev/null >/dev/null 2>&1 || true
    work=$1
    rm -rf "$work"
    mkdir -p "$work"
    cp "$2" "$work/Tarnwick.exe"
    trap tw_bench_cleanup EXIT
}

tw_bench_cleanup() {
    wine "$driver" press-exit "$panel" 1 5000 >/dev/null 2>&1 || true
    [ $own_display -eq 1 ] && tw_stop_display
    true
}
