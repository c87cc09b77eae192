#!/usr/bin/env bash
# The help button hands tarnwick.chm in the current directory to the shell, which opens it
# in the help viewer.
. "$(dirname "$0")/lib.sh"

# The build compiles the help beside the program.
help_file=$(dirname "$TW_EXE_SRC")/tarnwick.chm
tw_check "the build put tarnwick.chm beside the program" test -s "$help_file"
cp "$help_file" "$TW_SCRATCH/"

viewer_running() { [ -n "$(tw_pids 'hh\.exe')" ]; }
wait_viewer() {
    local i
    for ((i = 0; i < 100; i++)); do viewer_running && return 0; sleep 0.1; done
    return 1
}

tw_sample_files "$TW_SCRATCH" no no
tw_check "the panel appears" tw_start_panel "$TW_SCRATCH"
tw_drv click "$TW_PANEL" 3 >/dev/null
tw_check "the help button opens the help viewer" wait_viewer
tw_check "the viewer shows tarnwick.chm from the current directory" \
    bash -c "for p in $(tw_pids 'hh\.exe' | tr '\n' ' '); do
                 tr '\0' ' ' </proc/\$p/cmdline | grep -qi 'tarnwick.chm' && exit 0; done; exit 1"
tw_shot "$TW_SHOTS/e2e-help.png"
for pid in $(tw_pids 'hh\.exe'); do kill "$pid" 2>/dev/null; done
tw_stop
tw_finish
