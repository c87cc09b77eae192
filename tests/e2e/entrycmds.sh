#!/usr/bin/env bash
# The entry commands with the real dialogs: a drop of three files opens one program entry
# dialog, for the first; Add through that dialog writes the list file and its hotkey works at
# once; Built-in through the action dialog writes a built-in entry; Properties moves a hotkey
# and the old combination stops launching.
. "$(dirname "$0")/lib.sh"

RUNINFO="快速启动程序属性"
ACT="Tarnwick 内置动作"
CTRL_ALT=$(( (0x02 | 0x04) << 8 )) # HOTKEYF_CONTROL | HOTKEYF_ALT in the high byte

tw_sample_files "$TW_SCRATCH" no no
dirwin=$(tw_winpath "$TW_SCRATCH")
hit1=$(tw_marker "$TW_SCRATCH" hit1)
hit2=$(tw_marker "$TW_SCRATCH" hit2)
hit3=$(tw_marker "$TW_SCRATCH" hit3)
hit4=$(tw_marker "$TW_SCRATCH" hit4)
sample=(
    "标记一|$hit1|1614|2|C:\windows\system32\shell32.dll|Ctrl + Alt + N|$dirwin|第一行\n第二行"
    "Second entry|$hit2|0|0|$hit2|无|$dirwin|no hotkey"
    '允许关机|$ZELO.TW.ACT~allow_shutdown$|0|44|C:\windows\system32\shell32.dll||_|内置对象'
)
list=$TW_SCRATCH/list.map
expected=$TW_SCRATCH/expected.map

# Waits until the list file differs from its copy taken before the command, then takes a
# new copy for the next command.
tw_list_written() {
    local changed=0
    tw_wait_file_change "$list" "$list.before" 10 && changed=1
    cp "$list" "$list.before"
    [ "$changed" -eq 1 ]
}

tw_start_panel "$TW_SCRATCH" || { tw_fail "the panel appears"; tw_finish; }
cp "$list" "$list.before"
sleep 1 # the desktop takes the keyboard only once its first window is up
tw_keys ctrl+alt+n
tw_check "the sample's Ctrl+Alt+N launches before any change" tw_wait_hits "$TW_SCRATCH" hit1 1

# --- Drop -------------------------------------------------------------------------------------
tw_drv drop "$TW_PANEL" "$hit4" "$dirwin\\a.txt" "$dirwin\\b.txt"
tw_check "a drop opens the program entry dialog" tw_drv wait-window "$RUNINFO" 10000
sleep 1
tw_eq "a drop of three files opens one dialog" 1 "$(tw_drv count-windows "$RUNINFO")"
tw_eq "the dialog holds the first file as its command" "$hit4" "$(tw_drv_text text "$RUNINFO" 2001)"
tw_eq "the dialog names the entry after the first file" "hit4" "$(tw_drv_text text "$RUNINFO" 2000)"
tw_drv answer-box "$RUNINFO" ok
tw_check "OK adds the dropped file as a row" tw_drv wait-list-count "$TW_PANEL" 4 5000
tw_check "the drop rewrites the list file" tw_list_written
tw_write_list "$expected" "${sample[@]}" "hit4|$hit4|0|0|$hit4|无||"
tw_same_file "the list file holds the dropped entry without hotkey" "$expected" "$list"

# --- Add through dialog 157 ---------------------------------------------------------------------
tw_drv post-click "$TW_PANEL" 1005
tw_check "Add opens the program entry dialog" tw_drv wait-window "$RUNINFO" 10000
tw_drv set-text "$RUNINFO" 2000 "标记三"
tw_drv set-text "$RUNINFO" 2001 "$hit3"
tw_drv set-text "$RUNINFO" 2002 "$dirwin"
tw_drv set-text "$RUNINFO" 2007 "新加的"
tw_drv set-hotkey "$RUNINFO" 2006 $((CTRL_ALT | 0x4D)) # M
tw_drv answer-box "$RUNINFO" ok
tw_check "OK adds a row" tw_drv wait-list-count "$TW_PANEL" 5 5000
tw_check "Add rewrites the list file" tw_list_written
keys_m=$(tw_drv_text list-text "$TW_PANEL" 4 1)
tw_check "the new row shows a key description ending in M" test "${keys_m: -4}" == " + M"
tw_write_list "$expected" "${sample[@]}" "hit4|$hit4|0|0|$hit4|无||" \
    "标记三|$hit3|$((CTRL_ALT | 0x4D))|0||$keys_m|$dirwin|新加的"
tw_same_file "Add writes the exact list file" "$expected" "$list"
tw_keys ctrl+alt+m
tw_check "the added hotkey launches at once" tw_wait_hits "$TW_SCRATCH" hit3 1

# --- Built-in through dialog 158 ----------------------------------------------------------------
tw_drv post-click "$TW_PANEL" 1014
tw_check "Built-in opens the action dialog" tw_drv wait-window "$ACT" 10000
tw_drv select-combo "$ACT" 1007 3 # 禁止关机
tw_drv set-hotkey "$ACT" 2006 $((CTRL_ALT | 0x46)) # F
tw_drv answer-box "$ACT" ok
tw_check "OK adds the built-in action as a row" tw_drv wait-list-count "$TW_PANEL" 6 5000
tw_check "Built-in rewrites the list file" tw_list_written
keys_f=$(tw_drv_text list-text "$TW_PANEL" 5 1)
builtin='禁止关机|$ZELO.TW.ACT~forbid_shutdown$|'$((CTRL_ALT | 0x46))'|47|C:\windows\system32\shell32.dll|'"$keys_f"'|_|内置对象'
tw_write_list "$expected" "${sample[@]}" "hit4|$hit4|0|0|$hit4|无||" \
    "标记三|$hit3|$((CTRL_ALT | 0x4D))|0||$keys_m|$dirwin|新加的" "$builtin"
tw_same_file "Built-in writes info=内置对象 and workdir=_" "$expected" "$list"

# --- Properties moves a hotkey ----------------------------------------------------------------
tw_drv select "$TW_PANEL" 0
tw_drv command "$TW_PANEL" 1007
tw_check "Properties opens the program entry dialog" tw_drv wait-window "$RUNINFO" 10000
tw_eq "the dialog shows the marked row's entry" "$hit1" "$(tw_drv_text text "$RUNINFO" 2001)"
tw_drv set-hotkey "$RUNINFO" 2006 $((CTRL_ALT | 0x4A)) # J
tw_drv answer-box "$RUNINFO" ok
tw_check "Properties rewrites the list file" tw_list_written
keys_j=$(tw_drv_text list-text "$TW_PANEL" 0 1)
tw_check "the row shows the new key description" test "${keys_j: -4}" == " + J"
tw_write_list "$expected" \
    "标记一|$hit1|$((CTRL_ALT | 0x4A))|2|C:\windows\system32\shell32.dll|$keys_j|$dirwin|第一行\n第二行" \
    "${sample[@]:1}" "hit4|$hit4|0|0|$hit4|无||" \
    "标记三|$hit3|$((CTRL_ALT | 0x4D))|0||$keys_m|$dirwin|新加的" "$builtin"
tw_same_file "Properties writes the new hotkey in place" "$expected" "$list"
tw_keys ctrl+alt+n
sleep 2
tw_eq "the old combination no longer launches" 1 "$(tw_hits "$TW_SCRATCH" hit1)"
tw_keys ctrl+alt+j
tw_check "the new combination launches the same entry" tw_wait_hits "$TW_SCRATCH" hit1 2

tw_check "a screenshot of the panel after the commands is written" \
    tw_shot "$TW_SHOTS/e2e-entrycmds.png"
tw_eq "nothing but the commands' own targets was launched" "0 0" \
    "$(tw_hits "$TW_SCRATCH" hit2) $(tw_hits "$TW_SCRATCH" hit4)"
tw_finish
