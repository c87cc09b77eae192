#!/usr/bin/env bash
# A start with a directory as command line, from another directory: the panel hides itself
# shortly after it appears, and the directory becomes the current one, so its settings and
# list are used and its settings file is the one rewritten. Then the switches of a second
# start: /off, /on, /merge FILE and /quit act on the running copy and end with their exit
# codes, as do an unknown switch and a file that is no list; without a running copy /on
# ends with 3.
. "$(dirname "$0")/lib.sh"

elsewhere=$TW_SCRATCH/elsewhere
mkdir -p "$elsewhere"
tw_write_settings "$elsewhere" yes yes other.map
tw_write_list "$elsewhere/other.map" "Elsewhere|C:\\windows\\notepad.exe|0|0|C:\\windows\\notepad.exe|无||"
cp "$elsewhere/tarnwick.ini" "$TW_SCRATCH/elsewhere.ini.orig"
tw_sample_files "$TW_SCRATCH" no no
cp "$TW_SCRATCH/tarnwick.ini" "$TW_SCRATCH/tarnwick.ini.orig"

tw_check "the panel appears" tw_start_panel "$elsewhere" "$TW_SCRATCH_WIN"
tw_check "with a command line the panel hides itself" tw_drv wait-visible "$TW_PANEL" 0 3000
tw_eq "the list comes from the command-line directory" \
    "$(tw_expected_rows "${TW_ROWS[@]}")" "$(tw_rows)"
tw_eq "its settings are used (showtray=no)" 0 "$(tw_drv checked "$TW_PANEL" 1003)"
tw_keys ctrl+alt+n
tw_check "the entry hotkey works in a copy started hidden" tw_wait_hits "$TW_SCRATCH" hit1 1
tw_keys ctrl+alt+end
tw_check "Ctrl+Alt+End shows the panel" tw_drv wait-visible "$TW_PANEL" 1 5000
sleep 1
tw_eq "the panel then stays visible" 1 "$(tw_drv visible "$TW_PANEL")"

tw_drv click "$TW_PANEL" 1003
tw_check "the tray box rewrites the settings file of the command-line directory" \
    tw_wait_file_change "$TW_SCRATCH/tarnwick.ini" "$TW_SCRATCH/tarnwick.ini.orig" 5
tw_same_file "the launcher's directory keeps its settings file" \
    "$TW_SCRATCH/elsewhere.ini.orig" "$elsewhere/tarnwick.ini"

# --- The switches of a second start -----------------------------------------------------------
hitm=$(tw_marker "$TW_SCRATCH" hitm)
tw_write_list "$TW_SCRATCH/more.map" "更多|$hitm|1615|0|$hitm|Ctrl + Alt + O|$TW_SCRATCH_WIN|"
second() { tw_drv run 30000 "$TW_EXE_WIN" "$@"; }
tw_eq "/off is done" 0 "$(second /off)"
tw_keys ctrl+alt+n
sleep 1.5
tw_eq "and switches the hotkeys off" 1 "$(tw_hits "$TW_SCRATCH" hit1)"
tw_eq "/on is done" 0 "$(second /on)"
tw_keys ctrl+alt+n
tw_check "and switches them on again" tw_wait_hits "$TW_SCRATCH" hit1 2
tw_eq "/merge of a file that is no list is refused" 1 "$(second /merge "$(tw_winpath "$TW_SCRATCH/none.map")")"
tw_eq "an unknown switch says so" 2 "$(second /frobnicate)"
rows=$(tw_drv list-count "$TW_PANEL")
tw_eq "/merge FILE is done" 0 "$(second /merge "$(tw_winpath "$TW_SCRATCH/more.map")")"
tw_drv answer-box "合并列表" ok 10000 >/dev/null
tw_eq "and appends the file's entry" $((rows + 1)) "$(tw_drv list-count "$TW_PANEL")"
tw_keys ctrl+alt+o
tw_check "whose hotkey works" tw_wait_hits "$TW_SCRATCH" hitm 1
tw_eq "/quit is done" 0 "$(second /quit)"
tw_check "and the running copy ends" tw_wait_no_program 10
tw_eq "without a running copy /on ends with 3" 3 "$(second /on)"
tw_finish
