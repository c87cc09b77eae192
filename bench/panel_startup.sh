#!/usr/bin/env bash
# Time to a filled panel, as a user meets it: the Windows build under Wine (code page 936,
# Xvfb, a warm wineserver), from process start to a visible panel whose list shows every
# row, for lists of 0, 1,000 and 5,000 entries whose icons come from 20 distinct system
# programs and whose first 300 entries have distinct hotkeys. Then, on a panel started
# empty: Load of the 5,000-entry file (from confirming the Open dialog), the four view
# switches, and Clear (from answering Yes). The best of RUNS runs counts.
#   bench/panel_startup.sh [RUNS]           TW_BENCH_EXE=other.exe measures another build
set -eu
cd "$(dirname "$0")/.."
TW_ROOT=$(pwd)
runs=${1:-3}
. bench/lib.sh
exe=${TW_BENCH_EXE:-build/mingw-i686/Tarnwick.exe}
tw_bench_setup build/bench-startup "$exe"

# Twenty distinct files of Wine's own programs, control panel applets and libraries that
# carry icons (Wine ships about a dozen programs with icons), all present in a new prefix.
icons=()
for p in windows/system32/notepad.exe windows/regedit.exe windows/system32/winecfg.exe \
         windows/system32/taskmgr.exe windows/system32/cmd.exe windows/system32/winemine.exe \
         windows/system32/winhlp32.exe windows/system32/iexplore.exe \
         windows/system32/msiexec.exe windows/system32/winefile.exe windows/hh.exe \
         "Program Files/Windows NT/Accessories/wordpad.exe" windows/notepad.exe \
         windows/system32/appwiz.cpl windows/system32/inetcpl.cpl windows/system32/joy.cpl \
         windows/system32/shell32.dll windows/system32/user32.dll \
         windows/system32/comctl32.dll windows/system32/comdlg32.dll; do
    [ -f "$WINEPREFIX/drive_c/$p" ] && icons+=("C:\\${p//\//\\}")
done

write_list() {
    python3 - "$1" "$2" "${icons[@]}" <<'PY'
import sys
path, count, icons = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
keys = list(range(0x41, 0x5B)) + list(range(0x30, 0x3A)) + list(range(0x70, 0x88))
mods = [(6, "Ctrl + Alt"), (3, "Shift + Ctrl"), (5, "Shift + Alt"), (7, "Shift + Ctrl + Alt"),
        (2, "Ctrl")]
lines = ["[MAIN]", "count=%d" % count]
for n in range(count):
    icon = icons[n % len(icons)]
    hotkey, keydes = 0, ""
    if n < 300:
        flags, text = mods[n // len(keys)]
        vk = keys[n % len(keys)]
        hotkey = flags << 8 | vk
        name = chr(vk) if vk < 0x70 else "F%d" % (vk - 0x6F)
        keydes = text + " + " + name
    lines += ["[run%d]" % (n + 1), "name=程序 %d" % n, "path=" + icon, "hotkey=%d" % hotkey,
              "iconint=0", "icon=" + icon, "keydes=" + keydes, "workdir=C:\\windows\\system32",
              "info=第 %d 项" % n]
open(path, "wb").write(("\r\n".join(lines) + "\r\n").encode("gbk"))
PY
}

settings() {
    printf '[SET]\r\nshowtray=yes\r\nautorun=no\r\nmapfile=%s\r\n' "$1" >"$work/tarnwick.ini"
}

best() { sort -n | head -n 1; }

# start_once ROWS: one start; prints its milliseconds and leaves the panel running.
start_once() {
    (cd "$work" && wine "$TW_ROOT/$driver" time-start "$panel" "$1" 600000 Tarnwick.exe)
}
stop() { wine "$driver" press-exit "$panel" 1 30000 >/dev/null; }

for n in 0 1000 5000; do write_list "$work/list$n.map" $n; done
declare -A start_ms
for n in 0 1000 5000; do
    settings "list$n.map"
    start_ms[$n]=$(for ((i = 0; i < runs; i++)); do start_once $n; stop; done | best)
done

settings list0.map
load=() clear=() large=() report=()
for ((i = 0; i < runs; i++)); do
    start_once 0 >/dev/null
    load+=("$(wine "$driver" time-load "$panel" "$(winepath -w "$work/list5000.map")" 5000 600000)")
    large+=("$(wine "$driver" time-command "$panel" 135)")
    wine "$driver" time-command "$panel" 136 >/dev/null
    wine "$driver" time-command "$panel" 137 >/dev/null
    report+=("$(wine "$driver" time-command "$panel" 138)")
    clear+=("$(wine "$driver" time-clear "$panel" 600000)")
    stop
done

e=${start_ms[0]}
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'); $(date -u '+%Y-%m-%d %H:%M UTC'); load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "icons from: ${#icons[@]} programs"
printf '%-28s %10s %10s\n' "step" "ms" "x empty"
for n in 0 1000 5000; do
    awk -v n=$n -v m=${start_ms[$n]} -v e=$e 'BEGIN { printf "%-28s %10d %10.1f\n", "start, " n " entries", m, m / (e > 0 ? e : 1) }'
done
for row in "load 5000:load" "large icons, 5000:large" "report view, 5000:report" "clear 5000:clear"; do
    name=${row%%:*}
    eval "vals=(\"\${${row##*:}[@]}\")"
    m=$(printf '%s\n' "${vals[@]}" | best)
    awk -v s="$name" -v m=$m -v e=$e 'BEGIN { printf "%-28s %10d %10.1f\n", s, m, m / (e > 0 ? e : 1) }'
done
