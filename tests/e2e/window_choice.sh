#!/usr/bin/env bash
# How a started program's window opens: a binding chosen "maximized" in the program entry
# dialog starts its program maximised and keeps the choice in the list file; one read as
# "hidden" from the file starts its program with no visible window.
. "$(dirname "$0")/lib.sh"

RUNINFO="快速启动程序属性"
dir=$TW_SCRATCH
: >"$dir/tw_hidden.txt"
: >"$dir/tw_maximized.txt"
tw_write_settings "$dir" no no list.map
# 1608 is Ctrl+Alt+H. The arguments guard the path; the window choice does not.
tw_write "$dir/list.map" "[MAIN]" "count=1" \
    "[run1]" "name=隐藏" 'path=|C:\windows\system32\notepad.exe' "hotkey=1608" "iconint=0" \
    'icon=C:\windows\system32\notepad.exe' "keydes=Ctrl + Alt + H" 'workdir=C:\windows' "info=" \
    "args=$(tw_winpath "$dir/tw_hidden.txt")" "window=hidden"

tw_start_panel "$dir" || { tw_fail "the panel appears"; tw_finish; }
tw_drv wait-visible "$TW_PANEL" 1 15000
tw_keys ctrl+alt+h
tw_eq "a hidden binding's program runs without a visible window" hidden \
    "$(tw_drv_text window-state tw_hidden.txt 15000)"

tw_drv post-click "$TW_PANEL" 1005
tw_check "Add opens the program entry dialog" tw_drv wait-window "$RUNINFO" 10000
tw_drv set-text "$RUNINFO" 2000 "最大化"
tw_drv set-text "$RUNINFO" 2001 'C:\windows\system32\notepad.exe'
tw_drv set-text "$RUNINFO" 2008 "$(tw_winpath "$dir/tw_maximized.txt")"
tw_drv set-hotkey "$RUNINFO" 2006 $(((0x06 << 8) | 0x58)) # Ctrl+Alt+X
tw_drv select-combo "$RUNINFO" 1120 2
tw_drv answer-box "$RUNINFO" ok
tw_check "OK adds the row" tw_drv wait-list-count "$TW_PANEL" 2 5000
tw_check "the list file keeps the choice" grep -qa "^window=maximized"$'\r'"\$" "$dir/list.map"
tw_keys ctrl+alt+x
tw_eq "a maximized binding's program opens maximised" maximized \
    "$(tw_drv_text window-state tw_maximized.txt 15000)"

for pid in $(tw_pids 'notepad\.exe'); do kill "$pid" 2>/dev/null; done
tw_finish
