#!/usr/bin/env bash
# A combination another program holds: the start-up message is shown as always, then the
# row is drawn in the warning colour and its tip says why; switched off the row is grey;
# once the other program has ended, Ctrl+Alt+Home twice takes the combination, the row looks
# normal again and the hotkey launches its target.
. "$(dirname "$0")/lib.sh"

dir=$TW_SCRATCH
dirwin=$(tw_winpath "$dir")
hitq=$(tw_marker "$dir" hitq)
hitn=$(tw_marker "$dir" hitn)
tw_write_settings "$dir" no no list.map
# 1617 is Ctrl+Alt+Q, 1614 Ctrl+Alt+N.
tw_write_list "$dir/list.map" \
    "被占用|$hitq|1617|2|C:\windows\system32\shell32.dll|Ctrl + Alt + Q|$dirwin|held elsewhere" \
    "空闲|$hitn|1614|2|C:\windows\system32\shell32.dll|Ctrl + Alt + N|$dirwin|free"
warning='#FFD6D6'
tip_expected="Ctrl + Alt + Q 被系统或其他程序占用，未生效。请用“属性”另选快捷键。"

# The other program: the driver holding Ctrl+Alt+Q on the desktop the program will join.
flag=$dir/held.flag
HELPER_PID=""
rm -f "$flag" "$flag.done"
(cd "$dir" && exec wine explorer "/desktop=$TW_DESKTOP,$TW_DESKTOP_SIZE" \
    "$(tw_winpath "$TW_DRIVER")" hold-hotkey ctrl+alt+q "$(tw_winpath "$flag")" 240000) \
    >>"$dir/wine.log" 2>&1 &
HELPER_PID=$!
# The helper's explorer started the desktop and keeps it while the program runs, so it only
# goes after the program.
end_helper() {
    rm -f "$flag"
    tw_poll 0 10 sh -c "test -f '$flag.done'; echo \$?" >/dev/null
}
trap 'rm -f "$flag"; tw_cleanup; kill "$HELPER_PID" 2>/dev/null; wait "$HELPER_PID" 2>/dev/null' EXIT

tw_check "the other program holds Ctrl+Alt+Q" tw_poll 0 30 sh -c "grep -q held '$flag'; echo \$?"

tw_start "$dir"
tw_eq "the refusal is still reported at start-up" "注册系统热键失败，请选择其他热键！" \
    "$(tw_drv_text box-text "失败" 30000)"
tw_drv answer-box "失败" ok 5000 >/dev/null
tw_check "the panel appears" tw_drv wait-window "$TW_PANEL" 30000
tw_eq "the row texts stay as the file has them" "被占用	Ctrl + Alt + Q" \
    "$(tw_drv_text list-rows "$TW_PANEL" 2 | head -n 1)"

desktop_window() { xdotool search --name "$TW_DESKTOP - Wine desktop" | head -n 1; }
# warning_pixels SHOT ROW: the pixels of a row in the screenshot drawn in the warning colour.
warning_pixels() {
    local l t r b
    read -r l t r b <<<"$(tw_drv row-rect "$TW_PANEL" "$2")"
    convert "$1" -crop "$((r - l))x$((b - t))+$l+$t" +repage txt:- 2>/dev/null |
        grep -ci "$warning"
}
shoot() {
    local desk
    sleep 1
    desk=$(desktop_window)
    [ -n "$desk" ] || desk=root
    import -window "$desk" "$1" 2>/dev/null
}

shot=$TW_SHOTS/refused_row.png
shoot "$shot"
tw_check "the refused row is drawn in the warning colour" \
    test "$(warning_pixels "$shot" 0)" -gt 50
tw_eq "the row that works is drawn as always" 0 "$(warning_pixels "$shot" 1)"

read -r l t r b <<<"$(tw_drv row-rect "$TW_PANEL" 0)"
desk=$(desktop_window)
xdotool mousemove --window "$desk" $(((l + r) / 2 - 3)) $(((t + b) / 2))
sleep 0.3
xdotool mousemove --window "$desk" $(((l + r) / 2)) $(((t + b) / 2))
tw_eq "the tip over the refused row says why and what to do" "$tip_expected" \
    "$(tw_drv_text tip-text 8000)"
shoot "$TW_SHOTS/refused_tip.png"
xdotool mousemove --window "$desk" 5 5

tw_keys ctrl+alt+home
tw_check "Ctrl+Alt+Home switches off" tw_poll 1 5 tw_drv enabled "$TW_PANEL" 1012
shot=$TW_SHOTS/refused_switched_off.png
shoot "$shot"
tw_eq "a switched-off row is not drawn as refused" 0 "$(warning_pixels "$shot" 0)"

tw_check "the other program ends and lets Ctrl+Alt+Q go" end_helper
tw_keys ctrl+alt+home
tw_check "Ctrl+Alt+Home switches on again" tw_poll 1 5 tw_drv enabled "$TW_PANEL" 1001
tw_eq "no message once the combination is free" "" "$(tw_drv box-text "失败" 1500 2>/dev/null)"
shot=$TW_SHOTS/refused_freed.png
shoot "$shot"
tw_eq "the freed row is drawn as always" 0 "$(warning_pixels "$shot" 0)"
tw_keys ctrl+alt+q
tw_check "the freed hotkey launches its target" tw_wait_hits "$dir" hitq 1
tw_keys ctrl+alt+n
tw_check "the other hotkey launches its own" tw_wait_hits "$dir" hitn 1
tw_eq "Ctrl+Alt+Q launched once" 1 "$(tw_hits "$dir" hitq)"
tw_finish
