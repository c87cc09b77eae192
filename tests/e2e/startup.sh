#!/usr/bin/env bash
# Start-up with a settings file and a list, the panel's first state, a second start while the
# panel is hidden, and Exit.
. "$(dirname "$0")/lib.sh"

tw_sample_files "$TW_SCRATCH" yes no
tw_check "the panel appears with its caption" tw_start_panel "$TW_SCRATCH"
sleep 1
tw_eq "without a command line the panel stays visible" 1 "$(tw_drv visible "$TW_PANEL")"
tw_eq "the list shows the list file's entries" "$(tw_expected_rows "${TW_ROWS[@]}")" "$(tw_rows)"
tw_eq "showtray=yes checks the tray box" 1 "$(tw_drv checked "$TW_PANEL" 1003)"
tw_eq "autorun=no leaves the autorun box unchecked" 0 "$(tw_drv checked "$TW_PANEL" 1002)"
tw_eq "hotkeys on after loading: the off button is enabled" 1 "$(tw_drv enabled "$TW_PANEL" 1001)"
tw_eq "hotkeys on after loading: the on button is disabled" 0 "$(tw_drv enabled "$TW_PANEL" 1012)"
tw_check "a screenshot of the panel is written" tw_shot "$TW_SHOTS/e2e-panel.png"

tw_drv click "$TW_PANEL" 2
tw_check "the hide button hides the panel" tw_drv wait-visible "$TW_PANEL" 0 5000
tw_check "the program keeps running while hidden" tw_running
code=$(tw_drv run 30000 "$TW_EXE_WIN")
tw_check "a second start ends by itself" test -n "$code"
tw_check "a second start shows the first copy's panel" tw_drv wait-visible "$TW_PANEL" 1 5000
tw_eq "only the first copy keeps running" 1 "$(tw_pids 'Tarnwick\.exe' | wc -l)"

code=$(tw_drv press-exit "$TW_PANEL" 1 15000)
tw_check "Exit ends the program" test -n "$code"
tw_check "no panel is left after Exit" tw_drv wait-gone "$TW_PANEL" 5000
tw_check "no Tarnwick process is left after Exit" tw_wait_no_program 10
tw_stop

# The mutex is taken but no panel can be found (a copy still starting up): the new copy
# says it cannot activate the running one, and ends.
tw_drv hold-mutex Tarnwick 30000 &
holder=$!
sleep 1
tw_start "$TW_SCRATCH"
tw_eq "a copy that finds no panel to activate says so" \
    "已经有一个打开的 Tarnwick 实例,但无法激活它!" "$(tw_drv_text box-text "Tarnwick Error" 15000)"
tw_drv answer-box "Tarnwick Error" ok 5000
tw_check "that copy ends without a panel" tw_wait_no_program 10
kill "$holder" 2>/dev/null
wait "$holder" 2>/dev/null
tw_finish
