#!/usr/bin/env bash
# The list commands: Run and double click on the marked row, Save to another file, Clear with
# its confirmation, Load of another list, Merge of a third one whose one entry clashes, and
# the search box: Ctrl+F and typing leave the matching row, Esc empties it, and the hidden
# rows' hotkeys work all the while.
. "$(dirname "$0")/lib.sh"

tw_sample_files "$TW_SCRATCH" no no
cp "$TW_SCRATCH/list.map" "$TW_SCRATCH/list.map.orig"
hit3=$(tw_marker "$TW_SCRATCH" hit3)
tw_write_list "$TW_SCRATCH/other.map" \
    "载入一|$hit3|1613|0|$hit3|Ctrl + Alt + M|$TW_SCRATCH_WIN|载入的列表" \
    'Other two|C:\windows\notepad.exe|0|0|C:\windows\notepad.exe|无|C:\windows|'
other_rows=$(tw_expected_rows \
    "载入一"$'\t'"Ctrl + Alt + M"$'\t'"$hit3"$'\t'"$TW_SCRATCH_WIN"$'\t'"载入的列表" \
    'Other two'$'\t''无'$'\t''C:\windows\notepad.exe'$'\t''C:\windows'$'\t')

hit4=$(tw_marker "$TW_SCRATCH" hit4)
hit5=$(tw_marker "$TW_SCRATCH" hit5)
tw_write_list "$TW_SCRATCH/merge.map" \
    "冲突|$hit4|1613|0|$hit4|Ctrl + Alt + M|$TW_SCRATCH_WIN|" \
    "新的|$hit5|1614|0|$hit5|Ctrl + Alt + N|$TW_SCRATCH_WIN|"

tw_start_panel "$TW_SCRATCH" || { tw_fail "the panel appears"; tw_finish; }

tw_drv select "$TW_PANEL" 1
tw_drv command "$TW_PANEL" 148
tw_check "Run starts the marked row's target" tw_wait_hits "$TW_SCRATCH" hit2 1
tw_drv dblclick-row "$TW_PANEL" 0
tw_check "a double click starts the row's target" tw_wait_hits "$TW_SCRATCH" hit1 1
sleep 1
tw_eq "each starts only its own row" "1 1" \
    "$(tw_hits "$TW_SCRATCH" hit1) $(tw_hits "$TW_SCRATCH" hit2)"

# Into another directory, over an existing file: the dialog asks, the driver confirms.
mkdir -p "$TW_SCRATCH/sub"
echo junk >"$TW_SCRATCH/sub/saved.map"
cp "$TW_SCRATCH/sub/saved.map" "$TW_SCRATCH/junk"
tw_drv post-click "$TW_PANEL" 1009
tw_check "Save As takes the file typed and confirms replacing it" \
    tw_drv file-dialog "" "$(tw_winpath "$TW_SCRATCH/sub/saved.map")" 15000
tw_wait_file_change "$TW_SCRATCH/sub/saved.map" "$TW_SCRATCH/junk" 5
tw_same_file "Save writes the list as the program writes list files" \
    "$TW_SCRATCH/list.map.orig" "$TW_SCRATCH/sub/saved.map"

# The file dialog must leave the current directory where it was: the settings file is
# still rewritten in the start directory, not beside the chosen list.
cp "$TW_SCRATCH/tarnwick.ini" "$TW_SCRATCH/ini.before"
tw_drv click "$TW_PANEL" 1003
tw_check "after Save As the tray box rewrites the start directory's settings" \
    tw_wait_file_change "$TW_SCRATCH/tarnwick.ini" "$TW_SCRATCH/ini.before" 5
tw_check "no settings file appears beside the chosen list" test ! -e "$TW_SCRATCH/sub/tarnwick.ini"

tw_drv post-click "$TW_PANEL" 1008
tw_eq "Clear asks first" "你真的要删除设置的所有快捷键吗?" "$(tw_drv_text box-text "Are You Sure?")"
tw_drv answer-box "Are You Sure?" no
tw_eq "No keeps the list" 3 "$(tw_drv list-count "$TW_PANEL")"
tw_drv post-click "$TW_PANEL" 1008
tw_drv answer-box "Are You Sure?" yes
tw_check "Yes empties the list" tw_poll 0 5 tw_drv list-count "$TW_PANEL"
tw_same_file "Clear leaves the list file on disk as it was" \
    "$TW_SCRATCH/list.map.orig" "$TW_SCRATCH/list.map"
tw_keys ctrl+alt+n
sleep 2
tw_eq "Clear switches the entries' hotkeys off" 1 "$(tw_hits "$TW_SCRATCH" hit1)"

tw_drv post-click "$TW_PANEL" 1010
tw_check "Load takes the file typed into the Open dialog" \
    tw_drv file-dialog "" "$(tw_winpath "$TW_SCRATCH/other.map")" 15000
tw_check "Load replaces the view with the file's entries" tw_poll "$other_rows" 10 tw_rows
tw_keys ctrl+alt+m
tw_check "the loaded entries' hotkeys work" tw_wait_hits "$TW_SCRATCH" hit3 1
tw_same_file "Load leaves the current list file as it was" \
    "$TW_SCRATCH/list.map.orig" "$TW_SCRATCH/list.map"

tw_drv command "$TW_PANEL" 149
tw_check "Merge takes the file typed into the Open dialog" \
    tw_drv file-dialog "" "$(tw_winpath "$TW_SCRATCH/merge.map")" 15000
tw_eq "one summary tells what came in" "已合并 2 项，其中 1 项因热键冲突未启用" \
    "$(tw_drv_text box-text "合并列表" 10000)"
tw_drv answer-box "合并列表" ok 5000 >/dev/null
tw_eq "both are appended" 4 "$(tw_drv list-count "$TW_PANEL")"
tw_check "the clashing one is written switched off" \
    sh -c "iconv -f GB18030 -t UTF-8 '$TW_SCRATCH/list.map' | grep -A10 '^name=冲突' | grep -q '^disabled=1'"
tw_keys ctrl+alt+n
tw_check "the new one's hotkey works" tw_wait_hits "$TW_SCRATCH" hit5 1
tw_keys ctrl+alt+m
tw_check "the combination stays with the binding that had it" tw_wait_hits "$TW_SCRATCH" hit3 2
tw_eq "and the clashing one starts nothing" 0 "$(tw_hits "$TW_SCRATCH" hit4)"

# The panel to the front first, as a second start with /show brings it.
search() {
    tw_drv run 30000 "$TW_EXE_WIN" /show >/dev/null
    tw_keys ctrl+f
    for k in h i t 3; do tw_keys "$k"; done
}
search
tw_check "Ctrl+F and typing leave only the matching row" tw_poll 1 5 tw_drv list-count "$TW_PANEL"
tw_eq "the row shown is the one that matches" "载入一" "$(tw_drv_text list-text "$TW_PANEL" 0 0)"
tw_keys escape
tw_check "Esc empties the box and shows every row again" tw_poll 4 5 tw_drv list-count "$TW_PANEL"
tw_eq "and leaves the panel where it is" 1 "$(tw_drv visible "$TW_PANEL")"
search
tw_check "filtered again" tw_poll 1 5 tw_drv list-count "$TW_PANEL"
tw_keys ctrl+alt+n
tw_check "a hidden row's hotkey works" tw_wait_hits "$TW_SCRATCH" hit5 2
tw_keys ctrl+alt+m
tw_check "and the shown row's" tw_wait_hits "$TW_SCRATCH" hit3 3
tw_finish
