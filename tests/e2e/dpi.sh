#!/usr/bin/env bash
# The panel and its editing dialogs on high-DPI screens (150 % and 200 %): the panel starts,
# every list column is at least as wide as its heading text, the icon picker shows its icons
# at the screen's icon size, and a screenshot of the panel, the program entry dialog, the
# icon picker and the built-in action dialog is kept for a person to look at.
# Its own larger screen, so the panel fits whole at 200 %.
unset DISPLAY
export TW_SCREEN=2560x1600x24
. "$(dirname "$0")/lib.sh"
TW_DESKTOP_SIZE=2400x1500
RUNINFO="快速启动程序属性"
ICONSEL="更改图标"
ACT="Tarnwick 内置动作"

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
    while IFS=$'\t' read -r width text _; do
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

    tw_drv post-click "$TW_PANEL" 1005
    tw_check "$dpi DPI: Add opens the program entry dialog" tw_drv wait-window "$RUNINFO" 10000
    sleep 1
    tw_check "$dpi DPI: a screenshot of the program entry dialog is written" \
        tw_shot "$TW_SHOTS/e2e-runinfo-dpi$dpi.png"
    tw_drv answer-box "$RUNINFO" cancel
    tw_drv wait-gone "$RUNINFO" 5000

    # The first row's icon is in shell32.dll, which holds many: the picker shows them.
    tw_drv select "$TW_PANEL" 0
    tw_drv command "$TW_PANEL" 1007
    tw_check "$dpi DPI: Properties opens the program entry dialog" tw_drv wait-window "$RUNINFO" 10000
    tw_drv post-click "$RUNINFO" 2004
    tw_check "$dpi DPI: Change opens the icon picker" tw_drv wait-window "$ICONSEL" 10000
    sleep 1
    rect=$(tw_drv icon-rect "$ICONSEL" 0)
    tw_check "$dpi DPI: the picker's icons are at least $((32 * dpi / 96)) pixels high ($rect)" \
        test "$(cut -f 2 <<<"$rect")" -ge $((32 * dpi / 96))
    tw_check "$dpi DPI: a screenshot of the icon picker is written" \
        tw_shot "$TW_SHOTS/e2e-iconsel-dpi$dpi.png"
    tw_drv answer-box "$ICONSEL" cancel
    tw_drv wait-gone "$ICONSEL" 5000
    tw_drv answer-box "$RUNINFO" cancel
    tw_drv wait-gone "$RUNINFO" 5000

    tw_drv post-click "$TW_PANEL" 1014
    tw_check "$dpi DPI: Built-in opens the action dialog" tw_drv wait-window "$ACT" 10000
    tw_drv select-combo "$ACT" 1007 3
    sleep 1
    tw_check "$dpi DPI: a screenshot of the built-in action dialog is written" \
        tw_shot "$TW_SHOTS/e2e-act-dpi$dpi.png"
    tw_drv answer-box "$ACT" cancel
    tw_drv wait-gone "$ACT" 5000
    tw_stop
done

# The panel moves to a monitor of another DPI while it is open, as Windows tells it.
wine reg add "$dpi_key" /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
tw_check "96 DPI: the panel appears" tw_start_panel "$TW_SCRATCH"
tw_check "96 DPI: the panel shows the list" tw_drv wait-list-count "$TW_PANEL" 3 10000
# A row is as high as its font or its small icon, whichever is higher: both follow.
row_height() { tw_drv row-rect "$TW_PANEL" 0 | awk '{print $4 - $2}'; }
near() { [ $(($1 - $2)) -le 3 ] && [ $(($2 - $1)) -le 3 ]; }
for step in 96:192 192:144 144:96; do
    from=${step%:*} dpi=${step#*:}
    before=$(row_height)
    tw_check "$from to $dpi DPI: the panel takes the suggested place" \
        tw_drv dpi-change "$TW_PANEL" "$from" "$dpi"
    cols=$(tw_drv columns "$TW_PANEL")
    tw_check "$from to $dpi DPI: no list column is narrower than its heading" columns_fit "$cols"
    tw_eq "$from to $dpi DPI: the first column follows" $((80 * dpi / 96)) "$(head -n 1 <<<"$cols" | cut -f 1)"
    now=$(row_height)
    tw_check "$from to $dpi DPI: the rows follow (from $before to $now pixels)" \
        near $((before * dpi / from)) "$now"
    tw_eq "$from to $dpi DPI: no control reaches out of the panel" "" "$(tw_drv cut "$TW_PANEL")"
    sleep 1
    tw_check "$from to $dpi DPI: a screenshot of the panel is written" \
        tw_shot "$TW_SHOTS/e2e-panel-dpi$from-to-$dpi.png"
done
tw_stop
tw_finish
