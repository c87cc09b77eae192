#!/usr/bin/env bash
# A list file that turns out invalid after an entry with a hotkey: once its message is
# dismissed, Ctrl+Alt+Home switches the entry hotkeys off and on again and they work. Load of
# a name that does not exist empties the panel without a message; Load of an invalid file
# shows and registers the entries before the fault. A settings file kept through a link is
# rewritten where the link points, and the link stays.
. "$(dirname "$0")/lib.sh"

# tw_no_box CAPTION MS: true when no message box with that caption appears within MS.
tw_no_box() { ! tw_drv box-text "$1" "$2" >/dev/null 2>&1; }

tw_sample_files "$TW_SCRATCH" no no
# The list claims one entry more than it holds.
sed -i 's/^count=3\r$/count=4\r/' "$TW_SCRATCH/list.map"
mkdir -p "$TW_SCRATCH/real"
mv "$TW_SCRATCH/tarnwick.ini" "$TW_SCRATCH/real/tarnwick.ini"
ln -s real/tarnwick.ini "$TW_SCRATCH/tarnwick.ini"

hit3=$(tw_marker "$TW_SCRATCH" hit3)
tw_write_list "$TW_SCRATCH/good.map" \
    "好的|$hit3|1613|0|$hit3|Ctrl + Alt + M|$TW_SCRATCH_WIN|" \
    'Other two|C:\windows\notepad.exe|0|0|C:\windows\notepad.exe|无|C:\windows|'
tw_write_list "$TW_SCRATCH/bad.map" \
    "坏的之前|$hit3|1613|0|$hit3|Ctrl + Alt + M|$TW_SCRATCH_WIN|" \
    'Other two|C:\windows\notepad.exe|0|0|C:\windows\notepad.exe|无|C:\windows|'
sed -i 's/^count=2\r$/count=3\r/' "$TW_SCRATCH/bad.map"
bad_rows=$(tw_expected_rows \
    "坏的之前"$'\t'"Ctrl + Alt + M"$'\t'"$hit3"$'\t'"$TW_SCRATCH_WIN"$'\t' \
    'Other two'$'\t''无'$'\t''C:\windows\notepad.exe'$'\t''C:\windows'$'\t')

tw_start "$TW_SCRATCH"
tw_eq "start-up reports the invalid list" "该文件不是有效的快捷键列表文件!" \
    "$(tw_drv_text box-text "SERVER ERROR" 30000)"
tw_drv answer-box "SERVER ERROR" ok 5000
tw_check "the panel appears after the message" tw_drv wait-visible "$TW_PANEL" 1 30000
tw_eq "the half-read list is not shown" 0 "$(tw_drv list-count "$TW_PANEL")"

tw_keys ctrl+alt+home
tw_check "the first Ctrl+Alt+Home switches off" tw_poll 1 5 tw_drv enabled "$TW_PANEL" 1012
tw_eq "switched off: the off button is disabled" 0 "$(tw_drv enabled "$TW_PANEL" 1001)"
tw_keys ctrl+alt+home
tw_check "the second Ctrl+Alt+Home switches on again" tw_poll 1 5 tw_drv enabled "$TW_PANEL" 1001
tw_eq "switched on: the on button is disabled" 0 "$(tw_drv enabled "$TW_PANEL" 1012)"
tw_keys ctrl+alt+n
tw_check "the entry read before the fault starts on its hotkey" tw_wait_hits "$TW_SCRATCH" hit1 1
tw_keys ctrl+alt+end
tw_check "Ctrl+Alt+End still hides the panel" tw_drv wait-visible "$TW_PANEL" 0 5000
tw_keys ctrl+alt+end
tw_check "and shows it again" tw_drv wait-visible "$TW_PANEL" 1 5000

tw_drv post-click "$TW_PANEL" 1010
tw_drv file-dialog "" "$(tw_winpath "$TW_SCRATCH/good.map")" 15000 >/dev/null
tw_check "a good list loads" tw_poll 2 10 tw_drv list-count "$TW_PANEL"
tw_drv post-click "$TW_PANEL" 1010
tw_check "the Open dialog takes a name that does not exist" \
    tw_drv file-dialog "" "$(tw_winpath "$TW_SCRATCH/no such list.map")" 15000
tw_check "Load of a missing file empties the panel" tw_poll 0 10 tw_drv list-count "$TW_PANEL"
tw_check "and says nothing" tw_no_box "SERVER ERROR" 2000
tw_keys ctrl+alt+m
sleep 2
tw_eq "the emptied list's hotkeys are off" 0 "$(tw_hits "$TW_SCRATCH" hit3)"

tw_drv post-click "$TW_PANEL" 1010
tw_drv file-dialog "" "$(tw_winpath "$TW_SCRATCH/bad.map")" 15000 >/dev/null
tw_eq "Load of an invalid file reports it" "该文件不是有效的快捷键列表文件!" \
    "$(tw_drv_text box-text "SERVER ERROR" 15000)"
tw_drv answer-box "SERVER ERROR" ok 5000
tw_check "the entries before the fault are shown" tw_poll "$bad_rows" 10 tw_rows
tw_keys ctrl+alt+m
tw_check "and their hotkeys are registered" tw_wait_hits "$TW_SCRATCH" hit3 1

tw_drv click "$TW_PANEL" 1003
tw_check "the tray box rewrites the linked settings file" \
    tw_poll 1 10 grep -c '^showtray=yes' "$TW_SCRATCH/real/tarnwick.ini"
tw_check "the settings file is still a link" test -L "$TW_SCRATCH/tarnwick.ini"
tw_eq "no temporary is left beside either" "" \
    "$(ls "$TW_SCRATCH" "$TW_SCRATCH/real" | grep '~tw')"
tw_finish
