#!/usr/bin/env bash
# 清空 behind the refusal message at start-up. The box is the panel's own, so the panel takes
# no input meanwhile; a command that reaches it anyway (posted, as the tray's or another
# program's would be) finds the registration of every binding done. No refusal follows for
# the bindings it took away, and the panel goes on answering.
. "$(dirname "$0")/lib.sh"

dir=$TW_SCRATCH
tw_write_settings "$dir" no no list.map
shell32='C:\windows\system32\shell32.dll'
# 1614 is Ctrl+Alt+N, held by the other program; then 40 free ones (Ctrl+Alt is 1536 plus
# the key, Ctrl+Shift 768).
entries=("被占用|C:\windows\notepad.exe|1614|2|$shell32|Ctrl + Alt + N|C:\windows|held")
for code in $(seq 1601 1626) $(seq 1584 1593) $(seq 833 837); do
    [ "$code" -eq 1614 ] || entries+=("键$code|C:\windows\notepad.exe|$code|2|$shell32|$code|C:\windows|")
done
tw_write_list "$dir/list.map" "${entries[@]}"

tw_hold_hotkey "$dir" ctrl+alt+n Ctrl+Alt+N

tw_start "$dir"
tw_eq "the refusal is reported at start-up" "注册系统热键失败，请选择其他热键！" \
    "$(tw_drv_text box-text "失败" 30000)"
tw_eq "all 41 rows are shown" 41 "$(tw_drv list-count "$TW_PANEL")"
tw_eq "the panel takes no input while the box is open" 0 "$(tw_drv enabled "$TW_PANEL" 0)"
tw_drv command "$TW_PANEL" 1008
tw_check "清空 asks" tw_drv answer-box "Are You Sure?" yes 10000
tw_check "and clears behind the box" tw_poll 0 10 tw_drv list-count "$TW_PANEL"
tw_check "the box is dismissed" tw_drv answer-box "失败" ok 5000
tw_eq "no refusal follows for the bindings that are gone" "" \
    "$(tw_drv box-text "失败" 2000 2>/dev/null)"
tw_check "the panel takes input again" tw_poll 1 10 tw_drv enabled "$TW_PANEL" 0
tw_drv command "$TW_PANEL" 1001
tw_check "and answers its commands" tw_poll 1 10 tw_drv enabled "$TW_PANEL" 1012
tw_finish
