#!/usr/bin/env bash
# Bindings beyond the control's own keys: a combination with the Windows key, bound through
# the program entry dialog's "Win" box, launches its target and leaves the same keys
# without Win alone; the list file keeps it where an older program registers nothing. A
# row's own check box switches its binding off while the others work, through every switch
# of all the hotkeys, until it is checked again.
. "$(dirname "$0")/lib.sh"

RUNINFO="快速启动程序属性"
tw_sample_files "$TW_SCRATCH" no no
hitw=$(tw_marker "$TW_SCRATCH" hitw)
list=$TW_SCRATCH/list.map

tw_start_panel "$TW_SCRATCH" || { tw_fail "the panel appears"; tw_finish; }
sleep 1

# --- The Windows key --------------------------------------------------------------------------
tw_drv post-click "$TW_PANEL" 1005
tw_check "Add opens the program entry dialog" tw_drv wait-window "$RUNINFO" 10000
tw_drv set-text "$RUNINFO" 2000 "视窗键"
tw_drv set-text "$RUNINFO" 2001 "$hitw"
tw_drv set-hotkey "$RUNINFO" 2006 $(((0x02 << 8) | 0x4A)) # Ctrl+J
tw_drv click "$RUNINFO" 1100
tw_eq "the Win box beside the hotkey is checked" 1 "$(tw_drv checked "$RUNINFO" 1100)"
tw_drv answer-box "$RUNINFO" ok
tw_check "OK adds the row" tw_drv wait-list-count "$TW_PANEL" 4 5000
key=$(tw_drv_text list-text "$TW_PANEL" 3 1)
tw_check "its key description begins with Win ($key)" test "${key#Win + }" != "$key"
tw_check "the list file keeps the code under its own key" \
    grep -qa "^fullhotkey=$((0x1024A))"$'\r'"\$" "$list"
tw_check "and 0 where an older program would read it" \
    sh -c "iconv -f GBK -t UTF-8 '$list' | grep -A2 '^name=视窗键' | grep -q '^hotkey=0'"
tw_keys win+ctrl+j
tw_check "Win+Ctrl+J launches the target" tw_wait_hits "$TW_SCRATCH" hitw 1
tw_keys ctrl+j
sleep 1.5
tw_eq "Ctrl+J without Win launches nothing" 1 "$(tw_hits "$TW_SCRATCH" hitw)"

# --- One binding switched off -----------------------------------------------------------------
cp "$list" "$list.before"
tw_drv set-check "$TW_PANEL" 0 0
tw_check "clearing the box rewrites the list file" tw_wait_file_change "$list" "$list.before" 10
tw_check "which keeps the row as switched off" grep -qa "^disabled=1"$'\r'"\$" "$list"
sleep 0.5
tw_shot "$TW_SHOTS/bindings_switched_off.png"
tw_keys ctrl+alt+home
tw_keys ctrl+alt+home
tw_check "Ctrl+Alt+Home twice: on again" tw_poll 1 5 tw_drv enabled "$TW_PANEL" 1001
tw_keys ctrl+alt+n
tw_keys win+ctrl+j
tw_check "the other bindings work" tw_wait_hits "$TW_SCRATCH" hitw 2
sleep 1
tw_eq "the switched-off Ctrl+Alt+N launches nothing" 0 "$(tw_hits "$TW_SCRATCH" hit1)"
tw_eq "its row stays in the list" 4 "$(tw_drv list-count "$TW_PANEL")"
tw_drv set-check "$TW_PANEL" 0 1
sleep 1
tw_keys ctrl+alt+n
tw_check "checked again, Ctrl+Alt+N launches at once" tw_wait_hits "$TW_SCRATCH" hit1 1
tw_check "and the file forgets it was off" sh -c "! grep -qa '^disabled=' '$list'"
tw_finish
