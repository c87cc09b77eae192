#!/usr/bin/env bash
# Runs one Windows executable under Wine with the project's prefix; ctest's emulator.
# Without a display it brings its own Xvfb for the length of the run.
set -u
. "$(dirname "$0")/wine-env.sh"
tw_wine_prefix_init
started=0
if [ -z "${DISPLAY:-}" ]; then
    tw_start_display || exit 1
    started=1
fi
wine "$@"
rc=$?
[ $started -eq 1 ] && tw_stop_display
exit $rc
