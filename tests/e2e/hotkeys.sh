#!/usr/bin/env bash
# The entry hotkey launches its target while the panel is hidden; Ctrl+Alt+End hides and shows
# the panel; Ctrl+Alt+Home and the two buttons switch the entry hotkeys off and on.
. "$(dirname "$0")/lib.sh"

tw_sample_files "$TW_SCRATCH" no no
tw_start_panel "$TW_SCRATCH" || { tw_fail "the panel appears"; tw_finish; }
# The window exists before its initialisation has registered the hotkeys; it shows after.
tw_drv wait-visible "$TW_PANEL" 1 15000

tw_keys ctrl+alt+end
tw_check "Ctrl+Alt+End hides the panel" tw_drv wait-visible "$TW_PANEL" 0 5000
tw_keys ctrl+alt+n
tw_check "the entry hotkey launches its target while the panel is hidden" \
    tw_wait_hits "$TW_SCRATCH" hit1 1
tw_keys ctrl+alt+end
tw_check "Ctrl+Alt+End shows the panel again" tw_drv wait-visible "$TW_PANEL" 1 5000

tw_keys ctrl+alt+home
tw_check "Ctrl+Alt+Home off: the on button is enabled" tw_poll 1 5 tw_drv enabled "$TW_PANEL" 1012
tw_eq "Ctrl+Alt+Home off: the off button is disabled" 0 "$(tw_drv enabled "$TW_PANEL" 1001)"
tw_keys ctrl+alt+n
sleep 2
tw_eq "a switched-off entry hotkey launches nothing" 1 "$(tw_hits "$TW_SCRATCH" hit1)"

tw_keys ctrl+alt+home
tw_check "Ctrl+Alt+Home on: the off button is enabled" tw_poll 1 5 tw_drv enabled "$TW_PANEL" 1001
tw_eq "Ctrl+Alt+Home on: the on button is disabled" 0 "$(tw_drv enabled "$TW_PANEL" 1012)"
tw_keys ctrl+alt+n
tw_check "the entry hotkey works again after switching on" tw_wait_hits "$TW_SCRATCH" hit1 2

tw_drv click "$TW_PANEL" 1001
tw_eq "the off button disables itself" 0 "$(tw_drv enabled "$TW_PANEL" 1001)"
tw_eq "the off button enables the on button" 1 "$(tw_drv enabled "$TW_PANEL" 1012)"
tw_keys ctrl+alt+n
sleep 2
tw_eq "after the off button the entry hotkey launches nothing" 2 "$(tw_hits "$TW_SCRATCH" hit1)"
tw_drv click "$TW_PANEL" 1012
tw_eq "the on button enables the off button" 1 "$(tw_drv enabled "$TW_PANEL" 1001)"
tw_keys ctrl+alt+n
tw_check "after the on button the entry hotkey launches again" tw_wait_hits "$TW_SCRATCH" hit1 3
tw_eq "no other entry was launched" 0 "$(tw_hits "$TW_SCRATCH" hit2)"
tw_finish
