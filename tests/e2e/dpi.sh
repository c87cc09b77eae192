#!/usr/bin/env bash
# The panel on high-DPI screens (150 % and 200 %): it starts, every list column is at least
# as wide as its heading text, and a screenshot of each is kept for a person to look at.
# Its own larger screen, so the panel fits whole at 200 %.
unset DISPLAY
export TW_SCREEN=2560x1600x24
. "$(dirname "$0")/lib.sh"
TW_DESKTOP_SIZE=2400x1500

dpi_key='HKCU\Control Panel\Desktop'
old_dpi=$(wine reg query "$dpi_key" /v LogPixels 2>/dev/null | tr -d '\r' | awk '$1 == "LogPixels" {print $3}')
# A value of ours can only be left over from a run that was killed: the screen had none.
case $((old_dpi)) in 0 | 144 | 192) old_dpi="" ;; esac
restore_dpi() {
    if [ -n "$old_dpi" ]; then
        wine reg add "$dpi_key" /v LogPixels /t REG_DWORD /d $((old_dpi)) /f >/dev/null 2>&1
    else
        wine reg delete "$dpi_key" /v LogPixels /f >/dev/null 2>&1
    fi
}
trap 'restore_dpi; tw_cleanup' EXIT
trap 'exit 1' INT TERM

# A heading needs its text and the header's margins on both sides.
columns_fit() {
    local width text ok=0 n=0
    while IFS=$'\t' read -r width text; do
        n=$((n + 1))
        if [ "$width" -lt $((text + 12)) ]; then
            echo "    column $n: width $width, heading text $text"
            ok=1
        fi
    done <<<"$1"
    [ $n -eq 5 ] && [ $ok -eq 0 ]
}

tw_sample_files "$TW_SCRATCH" no no
for dpi in 144 192; do
    wine reg add "$dpi_key" /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1
    tw_check "$dpi DPI: the panel appears" tw_start_panel "$TW_SCRATCH"
    tw_check "$dpi DPI: the panel shows the list" tw_drv wait-list-count "$TW_PANEL" 3 10000
    sleep 1
    cols=$(tw_drv columns "$TW_PANEL")
    tw_check "$dpi DPI: no list column is narrower than its heading" columns_fit "$cols"
    tw_eq "$dpi DPI: the first column grows with the screen" $((80 * dpi / 96)) "$(head -n 1 <<<"$cols" | cut -f 1)"
    tw_check "$dpi DPI: a screenshot of the panel is written" tw_shot "$TW_SHOTS/e2e-panel-dpi$dpi.png"
    tw_stop
done
tw_finish
