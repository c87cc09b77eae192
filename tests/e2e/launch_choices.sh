#!/usr/bin/env bash
# The launch choices. How a started program's window opens: a binding chosen "maximized" in
# the program entry dialog starts its program maximised and keeps the choice in the list
# file; one read as "hidden" from the file starts its program with no visible window. A
# binding that brings its program back, pressed three times, starts one copy, restores it
# from minimised to the front, and minimises it when it is in front.
. "$(dirname "$0")/lib.sh"

RUNINFO="快速启动程序属性"
dir=$TW_SCRATCH
: >"$dir/tw_hidden.txt"
: >"$dir/tw_maximized.txt"
: >"$dir/tw_front.txt"
tw_write_settings "$dir" no no list.map
# 1608 is Ctrl+Alt+H, 1602 Ctrl+Alt+B. The arguments guard the path; the choices do not.
tw_write "$dir/list.map" "[MAIN]" "count=2" \
    "[run1]" "name=隐藏" 'path=|C:\windows\system32\notepad.exe' "hotkey=1608" "iconint=0" \
    'icon=C:\windows\system32\notepad.exe' "keydes=Ctrl + Alt + H" 'workdir=C:\windows' "info=" \
    "args=$(tw_winpath "$dir/tw_hidden.txt")" "window=hidden" \
    "[run2]" "name=切换" 'path=|C:\windows\system32\notepad.exe' "hotkey=1602" "iconint=0" \
    'icon=C:\windows\system32\notepad.exe' "keydes=Ctrl + Alt + B" 'workdir=C:\windows' "info=" \
    "args=$(tw_winpath "$dir/tw_front.txt")" "ifrunning=front"

# state TEXT: how the window whose caption holds TEXT shows, without whether it is in front.
state() { tw_drv_text window-state "$1" 15000 | cut -d' ' -f1; }

tw_start_panel "$dir" || { tw_fail "the panel appears"; tw_finish; }
tw_drv wait-visible "$TW_PANEL" 1 15000
tw_keys ctrl+alt+h
tw_eq "a hidden binding's program runs without a visible window" hidden "$(state tw_hidden.txt)"

tw_keys ctrl+alt+b
tw_check "the first press starts the program" tw_drv window-state tw_front.txt 15000
tw_drv minimize-window tw_front.txt
tw_check "which is minimised then" tw_poll minimized 10 state tw_front.txt
tw_keys ctrl+alt+b
tw_check "the second press restores it to the front" tw_poll "normal front" 10 \
    tw_drv_text window-state tw_front.txt
tw_keys ctrl+alt+b
tw_check "the third, with it in front, minimises it" tw_poll minimized 10 state tw_front.txt
tw_eq "one copy runs" 2 "$(tw_pids 'notepad\.exe' | wc -l)"

tw_drv post-click "$TW_PANEL" 1005
tw_check "Add opens the program entry dialog" tw_drv wait-window "$RUNINFO" 10000
tw_drv set-text "$RUNINFO" 2000 "最大化"
tw_drv set-text "$RUNINFO" 2001 'C:\windows\system32\notepad.exe'
tw_drv set-text "$RUNINFO" 2008 "$(tw_winpath "$dir/tw_maximized.txt")"
tw_drv set-hotkey "$RUNINFO" 2006 $(((0x06 << 8) | 0x58)) # Ctrl+Alt+X
tw_drv select-combo "$RUNINFO" 1120 2
tw_drv answer-box "$RUNINFO" ok
tw_check "OK adds the row" tw_drv wait-list-count "$TW_PANEL" 3 5000
tw_check "the list file keeps the choice" grep -qa "^window=maximized"$'\r'"\$" "$dir/list.map"
tw_keys ctrl+alt+x
tw_eq "a maximized binding's program opens maximised" maximized "$(state tw_maximized.txt)"

for pid in $(tw_pids 'notepad\.exe'); do kill "$pid" 2>/dev/null; done
tw_finish
