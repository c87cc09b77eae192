#!/usr/bin/env bash
# A start with a directory as command line, from another directory: the panel hides itself
# shortly after it appears, and the directory becomes the current one, so its settings and
# list are used and its settings file is the one rewritten.
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
tw_finish
