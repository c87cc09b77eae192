#!/usr/bin/env bash
# Time to a filled panel, as a user meets it: the Windows build under Wine (code page 936,
# Xvfb, a warm wineserver), from process start to a visible panel whose list shows every
# row, for lists of 0, 1,000 and 5,000 entries whose icons come from 20 distinct system
# programs and whose first 300 entries have distinct hotkeys. Then, on a panel started
# empty: Load of the 5,000-entry file (from confirming the Open dialog), the view
# switches (the first to large icons, then small icons, list, report, and large icons
# again, a later switch), the search box typed into keystroke by keystroke in the report
# view and emptied, and Clear (from answering Yes).
#
# Given two builds, it measures both in the same run, alternating them (A B, then B A, so
# neither always goes first), and prints for each step the median, minimum and maximum of
# each build, with the machine's load before and after.
#   bench/panel_startup.sh [RUNS [EXE_A [EXE_B]]]     RUNS defaults to 5, EXE_A to this build
set -eu
cd "$(dirname "$0")/.."
TW_ROOT=$(pwd)
runs=${1:-5}
exes=("${2:-build/mingw-i686/Tarnwick.exe}")
[ $# -ge 3 ] && exes+=("$3")
for exe in "${exes[@]}"; do
    [ -f "$exe" ] || { echo "no such program: $exe" >&2; exit 2; }
done
. bench/lib.sh
tw_bench_setup build/bench-startup "${exes[0]}"
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
names=(A B)
for i in "${!exes[@]}"; do
    mkdir -p "$work/${names[$i]}"
    cp "${exes[$i]}" "$work/${names[$i]}/Tarnwick.exe"
done

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

# The settings of build $1's folder, naming list file $2.
settings() {
    printf '[SET]\r\nshowtray=yes\r\nautorun=no\r\nmapfile=%s\r\n' "$2" >"$work/$1/tarnwick.ini"
}

# start_once BUILD ROWS: one start, its milliseconds to the file of step FILE; the panel
# goes on running. The panel inherits the driver's output, so the figure goes to a file:
# a command substitution would wait for the panel to end.
start_once() {
    (cd "$work/$1" && wine "$TW_ROOT/$driver" time-start "$panel" "$2" 600000 Tarnwick.exe) \
        >"$work/figure"
}
stop() { wine "$driver" press-exit "$panel" 1 30000 >/dev/null; }

# record BUILD STEP: the last figure, as one of that step's.
record() { cat "$work/figure" >>"$work/$1.$2"; }
# timed BUILD STEP DRIVER-ARGS...: a driver step, recorded.
timed() {
    local b=$1 step=$2
    shift 2
    wine "$driver" "$@" >"$work/figure"
    record "$b" "$step"
}

# One round of every step for one build.
round() {
    local b=$1 n
    for n in 0 1000 5000; do
        settings "$b" "list$n.map"
        start_once "$b" $n
        record "$b" "start$n"
        stop
    done
    settings "$b" list0.map
    start_once "$b" 0
    timed "$b" load time-load "$panel" "$(winepath -w "$work/$b/list5000.map")" 5000 600000
    timed "$b" large1 time-command "$panel" 135
    timed "$b" small time-command "$panel" 136
    timed "$b" list time-command "$panel" 137
    timed "$b" report time-command "$panel" 138
    timed "$b" large2 time-command "$panel" 135
    timed "$b" report2 time-command "$panel" 138
    # The search box typed into keystroke by keystroke, then emptied (a build without
    # one gives no figures).
    local k=0 text
    for text in "程" "程序" "程序 1" "程序 12" "程序 123" ""; do
        k=$((k + 1))
        if wine "$driver" time-search "$panel" "$text" >"$work/figure" 2>/dev/null; then
            record "$b" "search$k"
        fi
    done
    timed "$b" clear time-clear "$panel" 600000
    stop
}

for b in "${names[@]:0:${#exes[@]}}"; do
    for n in 0 1000 5000; do write_list "$work/$b/list$n.map" $n; done
done
for ((i = 0; i < runs; i++)); do
    if [ ${#exes[@]} -eq 1 ]; then round A
    elif [ $((i % 2)) -eq 0 ]; then round A; round B
    else round B; round A
    fi
done

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'); $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "load average before: $load_before; after: $(cut -d' ' -f1-3 /proc/loadavg); $runs runs of each build; icons from ${#icons[@]} programs"
for i in "${!exes[@]}"; do echo "${names[$i]}: ${exes[$i]}"; done
python3 - "$work" "${names[@]:0:${#exes[@]}}" <<'PY'
import statistics, sys
work, builds = sys.argv[1], sys.argv[2:]
steps = [("start0", "start, empty list"), ("start1000", "start, 1,000 entries"),
         ("start5000", "start, 5,000 entries"), ("load", "Load of 5,000"),
         ("large1", "first switch to large icons"), ("small", "small icons"),
         ("list", "list"), ("report", "report"), ("large2", "later switch to large icons"),
         ("search1", "search '程' (5,000 rows)"), ("search2", "search '程序' (5,000)"),
         ("search3", "search '程序 1' (1,111)"), ("search4", "search '程序 12' (111)"),
         ("search5", "search '程序 123' (11)"), ("search6", "search emptied (5,000)"),
         ("clear", "Clear of 5,000")]
def figures(b, step):
    try:
        with open("%s/%s.%s" % (work, b, step)) as f:
            return [float(line) for line in f if line.strip()]
    except FileNotFoundError:
        return []
head = "%-30s" % "step (ms)"
for b in builds: head += " | %s median    min    max  x empty" % b
print(head)
for step, label in steps:
    line = "%-30s" % label
    for b in builds:
        v = figures(b, step)
        if not v:
            line += " | %8s %6s %6s %8s" % ("-", "-", "-", "-")
            continue
        empty = statistics.median(figures(b, "start0"))
        m = statistics.median(v)
        line += " | %8.0f %6.0f %6.0f %8.2f" % (m, min(v), max(v), m / empty if empty else 0)
    print(line)
for b in builds:
    first, later = statistics.median(figures(b, "large1")), statistics.median(figures(b, "large2"))
    print("%s: first large-icons switch %.2fx a later one; 5,000 entries start in %.2fx the empty start"
          % (b, first / later if later else 0,
             statistics.median(figures(b, "start5000")) / statistics.median(figures(b, "start0"))))
PY
