#!/usr/bin/env bash
# A winmm.dll lying beside the program is never loaded: not at start, not when the CD door
# action runs. Wine prefers its own winmm; winmm=n,b makes it search as Windows does for a
# DLL that is not a known DLL, the program's folder first.
. "$(dirname "$0")/lib.sh"

planted=$(dirname "$TW_DRIVER")/planted_winmm.dll
cp "$planted" "$TW_SCRATCH/winmm.dll"
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winmm=n,b"

dirwin=$(tw_winpath "$TW_SCRATCH")
hit=$(tw_marker "$TW_SCRATCH" hit)
tw_write_settings "$TW_SCRATCH" no no list.map
tw_write_list "$TW_SCRATCH/list.map" \
    '打开光驱|$ZELO.TW.ACT~open_cdrom$|1614|11|C:\windows\system32\shell32.dll|Ctrl + Alt + N|_|内置对象' \
    "标记|$hit|1613|2|C:\windows\system32\shell32.dll|Ctrl + Alt + M|$dirwin|after the door"

tw_check "the panel appears" tw_start_panel "$TW_SCRATCH"
tw_drv wait-visible "$TW_PANEL" 1 15000
tw_check "the planted winmm.dll is not loaded at start" test ! -e "$TW_SCRATCH/planted-dll-loaded"

# The door command blocks the panel until it is done, so the marker's launch after it shows
# that the door action has run.
tw_keys ctrl+alt+n
tw_keys ctrl+alt+m
tw_check "the door action runs" tw_wait_hits "$TW_SCRATCH" hit 1 20
tw_check "the planted winmm.dll is not loaded by the door action" \
    test ! -e "$TW_SCRATCH/planted-dll-loaded"
tw_stop
tw_finish
