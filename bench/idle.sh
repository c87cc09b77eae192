#!/usr/bin/env bash
# What the resident program costs while it waits: the Windows build under Wine with 1,000
# bindings (the first 300 with distinct hotkeys), its panel hidden, left alone for SECONDS
# after it settled. Wake-ups are the context switches of all the process's threads (the
# kernel's voluntary and involuntary counts), per second; memory is its resident size.
# With "refused" the list's last binding repeats the first one's combination, so one
# binding stays refused and the retry timer runs.
#   bench/idle.sh [SECONDS] [refused]
set -eu
cd "$(dirname "$0")/.."
TW_ROOT=$(pwd)
seconds=${1:-60}
mode=${2:-}
. bench/lib.sh
tw_bench_setup build/bench-idle build/mingw-i686/Tarnwick.exe

python3 - "$work/list.map" "$mode" <<'PY'
import sys
path, mode = sys.argv[1], sys.argv[2]
keys = list(range(0x41, 0x5B)) + list(range(0x30, 0x3A)) + list(range(0x70, 0x88))
mods = [6, 3, 5, 7, 2]
lines, count = [], 1000
for n in range(count):
    hotkey = mods[n // len(keys)] << 8 | keys[n % len(keys)] if n < 300 else 0
    if mode == "refused" and n == count - 1: hotkey = mods[0] << 8 | keys[0]
    lines += ["[run%d]" % (n + 1), "name=程序 %d" % n, "path=C:\\windows\\notepad.exe",
              "hotkey=%d" % hotkey, "iconint=0", "icon=C:\\windows\\notepad.exe",
              "keydes=%d" % hotkey, "workdir=C:\\windows", "info="]
text = "\r\n".join(["[MAIN]", "count=%d" % count] + lines) + "\r\n"
open(path, "wb").write(text.encode("gbk"))
PY
printf '[SET]\r\nshowtray=yes\r\nautorun=no\r\nmapfile=list.map\r\n' >"$work/tarnwick.ini"

# A command line starts the panel hidden, as a start with Windows does.
(cd "$work" && exec wine Tarnwick.exe "$(winepath -w "$work")") >/dev/null 2>&1 &
[ "$mode" = refused ] && wine "$driver" answer-box "失败" ok 60000 >/dev/null 2>&1
wine "$driver" wait-window "$panel" 60000 >/dev/null 2>&1
sleep 10
pid=""
for p in $(pgrep -x Tarnwick.exe); do
    tr '\0' '\n' <"/proc/$p/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" && pid=$p
done
[ -n "$pid" ] || { echo "no Tarnwick.exe running" >&2; exit 1; }
switches() { cat /proc/"$pid"/task/*/status | awk '/ctxt_switches/ { n += $2 } END { print n }'; }
before=$(switches)
sleep "$seconds"
after=$(switches)
rss=$(awk '/VmRSS/ { print $2 }' /proc/"$pid"/status)
echo "machine: $(nproc) cores; $(date -u '+%Y-%m-%d %H:%M UTC'); load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "mode: ${mode:-nothing refused}; threads: $(ls /proc/"$pid"/task | wc -l)"
awk -v d=$((after - before)) -v s="$seconds" -v r="$rss" \
    'BEGIN { printf "wake-ups: %d in %d s = %.2f per second; resident: %.1f MB\n", d, s, d / s, r / 1024 }'
