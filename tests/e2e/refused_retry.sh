#!/usr/bin/env bash
# A combination another program holds at start-up is asked for again on its own: once the
# other program has let it go, the row turns normal within the retry period, without any
# message box and without a switch, and the hotkey launches its target.
. "$(dirname "$0")/lib.sh"

dir=$TW_SCRATCH
dirwin=$(tw_winpath "$dir")
hitq=$(tw_marker "$dir" hitq)
tw_write_settings "$dir" no no list.map
# 1617 is Ctrl+Alt+Q.
tw_write_list "$dir/list.map" \
    "被占用|$hitq|1617|2|C:\windows\system32\shell32.dll|Ctrl + Alt + Q|$dirwin|held elsewhere"

tw_hold_hotkey "$dir" ctrl+alt+q Ctrl+Alt+Q

tw_start "$dir"
tw_drv answer-box "失败" ok 30000 >/dev/null
tw_check "the panel appears" tw_drv wait-window "$TW_PANEL" 30000

# warning_pixels: the pixels of the first row drawn in the refused row's background.
warning_pixels() {
    local l t r b desk shot=$TW_SHOTS/refused_retry.png
    desk=$(xdotool search --name "$TW_DESKTOP - Wine desktop" | head -n 1)
    import -window "${desk:-root}" "$shot" 2>/dev/null
    read -r l t r b <<<"$(tw_drv row-rect "$TW_PANEL" 0)"
    convert "$shot" -crop "$((r - l))x$((b - t))+$l+$t" +repage txt:- 2>/dev/null |
        grep -ci '#FFD6D6'
}
sleep 1
tw_check "the refused row is drawn in the warning colour" test "$(warning_pixels)" -gt 50

rm -f "$flag"
tw_check "the other program lets Ctrl+Alt+Q go" \
    tw_poll 0 10 sh -c "test -f '$flag.done'; echo \$?"
freed=$(date +%s)
normal() { [ "$(warning_pixels)" -eq 0 ] && echo yes; }
tw_check "the row turns normal within the retry period" tw_poll yes 40 normal
tw_check "it took no longer than the period" test $(($(date +%s) - freed)) -le 35
tw_eq "no message box came with the retry" "" "$(tw_drv box-text "失败" 1500 2>/dev/null)"
tw_keys ctrl+alt+q
tw_check "the freed hotkey launches its target" tw_wait_hits "$dir" hitq 1
tw_finish
