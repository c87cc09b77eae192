#!/usr/bin/env bash
# Launches with arguments and environment variables: a hotkey and a double click start a
# batch file named through a variable, in a working directory named through one, with
# arguments that hold one. A binding to a missing file tells why in a balloon from the tray
# icon, with no box in the way, marks its row and explains in the row's tip; Run tells in a
# box of the panel's own. A dropped file named outside every Chinese code page keeps its
# name. With the tray icon off the balloon still comes, and the icon leaves after it. A
# double click on a check box starts nothing. A variable changed in the registry reaches
# the launches once the change is announced, not before.
. "$(dirname "$0")/lib.sh"

dir=$TW_SCRATCH
dirwin=$(tw_winpath "$dir")
export TW_E2E_DIR=$dirwin TW_E2E_WORD=beta
# The scenario gives TW_E2E_WORD a user value later; none may be left from a run cut short.
user_word() { wine reg "$1" 'HKCU\Environment' /v TW_E2E_WORD "${@:2}" /f >/dev/null 2>&1; }
user_word delete
printf '@echo %%CD%% %%*>>"%s"\r\n' "$dirwin\\args.out" >"$dir/args.bat"
tw_write_settings "$dir" yes no list.map
# 1601 is Ctrl+Alt+A, 1613 Ctrl+Alt+M. The arguments follow the eight keys, and the path
# they belong to is guarded from readers that know only those.
tw_write "$dir/list.map" "[MAIN]" "count=2" \
    "[run1]" "name=参数" 'path=|%TW_E2E_DIR%\args.bat' "hotkey=1601" "iconint=2" \
    'icon=C:\windows\system32\shell32.dll' "keydes=Ctrl + Alt + A" 'workdir=%TW_E2E_DIR%' \
    "info=" 'args=alpha "two words" %TW_E2E_WORD%' \
    "[run2]" "name=缺失" 'path=%TW_E2E_DIR%\missing.exe' "hotkey=1613" "iconint=2" \
    'icon=C:\windows\system32\shell32.dll' "keydes=Ctrl + Alt + M" "workdir=$dirwin" "info="
cp "$dir/list.map" "$dir/list.before"

tw_start_panel "$dir" || { tw_fail "the panel appears"; tw_finish; }
tw_drv wait-visible "$TW_PANEL" 1 15000
tw_eq "the row shows the command as written" "%TW_E2E_DIR%\\args.bat" \
    "$(tw_drv_text list-text "$TW_PANEL" 0 2)"

tw_keys ctrl+alt+a
tw_check "the hotkey starts the batch file" tw_poll "$dirwin alpha \"two words\" beta" 10 \
    sh -c "tr -d '\r' <'$dir/args.out' 2>/dev/null | head -n 1"
tw_drv dblclick-row "$TW_PANEL" 0 >/dev/null
tw_check "a double click starts it the same way" tw_poll 2 10 \
    sh -c "grep -c 'alpha \"two words\" beta' '$dir/args.out'"

tw_keys ctrl+alt+m
tw_eq "a failed hotkey launch opens no box" "" "$(tw_drv box-text "失败" 3000 2>/dev/null)"
balloon="找不到要启动的文件。"$'\r\n'"%TW_E2E_DIR%\\missing.exe"
tw_eq "the balloon names the reason and the command" "$balloon" "$(tw_drv_text tip-text 5000)"
tw_check "the balloon goes by itself" tw_poll "" 30 tw_drv_text tip-text 0

desktop_window() { xdotool search --name "$TW_DESKTOP - Wine desktop" | head -n 1; }
read -r l t r b <<<"$(tw_drv row-rect "$TW_PANEL" 1)"
desk=$(desktop_window)
xdotool mousemove --window "$desk" $(((l + r) / 2 - 3)) $(((t + b) / 2))
sleep 0.3
xdotool mousemove --window "$desk" $(((l + r) / 2)) $(((t + b) / 2))
tw_eq "the row's tip says what happened" "上次启动失败：找不到要启动的文件。" \
    "$(tw_drv_text tip-text 8000)"
xdotool mousemove --window "$desk" 5 5

tw_drv select "$TW_PANEL" 1 >/dev/null
tw_drv command "$TW_PANEL" 148 >/dev/null
tw_eq "Run tells in a box" "无法启动“缺失”：找不到要启动的文件。"$'\r\n\r\n'"%TW_E2E_DIR%\\missing.exe" \
    "$(tw_drv_text box-text "失败" 10000)"
tw_drv answer-box "失败" ok 5000 >/dev/null
tw_same_file "launching changes nothing in the list file" "$dir/list.before" "$dir/list.map"

# A dropped file whose name no Chinese code page has ("한글", Hangul) keeps its name: the
# row launches it, and the list file holds the name whole.
RUNINFO="快速启动程序属性"
hangul=$'\xed\x95\x9c\xea\xb8\x80'
printf '@echo hit>>"%s"\r\n' "$dirwin\\hangul.hits" >"$dir/$hangul.bat"
tw_drv drop-wide "$TW_PANEL" "$dirwin\\$hangul.bat"
tw_check "the drop opens the program entry dialog" tw_drv wait-window "$RUNINFO" 10000
tw_eq "its command is the file's own name" "$dirwin\\$hangul.bat" \
    "$(tw_drv_text text "$RUNINFO" 2001)"
tw_drv answer-box "$RUNINFO" ok
tw_check "OK adds it as a row" tw_drv wait-list-count "$TW_PANEL" 3 5000
tw_drv dblclick-row "$TW_PANEL" 2 >/dev/null
tw_check "the dropped file launches" tw_wait_hits "$dir" hangul 1
tw_check "the list file keeps the name, guarded from readers that know only GBK" \
    grep -qF "path=|$dirwin\\$hangul.bat" <(iconv -f GB18030 -t UTF-8 "$dir/list.map")

# With the icon switched off, a failed hotkey launch brings it for the balloon only.
tw_drv click "$TW_PANEL" 1003 >/dev/null
tw_eq "the tray icon is off" 0 "$(tw_drv in-tray "$TW_PANEL" 154)"
tw_keys ctrl+alt+m
tw_eq "a failed launch still shows its balloon" "$balloon" "$(tw_drv_text tip-text 8000)"
tw_eq "from the icon, there for it" 1 "$(tw_drv in-tray "$TW_PANEL" 154)"
tw_check "and the icon leaves after it" tw_poll 0 50 tw_drv in-tray "$TW_PANEL" 154

# A quick double click on row 1's check box, row 0 marked, starts neither row.
tw_drv select "$TW_PANEL" 0 >/dev/null
runs=$(grep -c . "$dir/args.out")
read -r l t r b <<<"$(tw_drv row-rect "$TW_PANEL" 1)"
xdotool mousemove --window "$desk" $((l + 8)) $(((t + b) / 2)) click --repeat 2 --delay 60 1
tw_eq "a double click on a check box starts nothing" "" \
    "$(tw_drv box-text "失败" 3000 2>/dev/null)"
tw_eq "and not the marked row either" "$runs" "$(grep -c . "$dir/args.out")"

# The user's value of TW_E2E_WORD changes while the program runs. TW_E2E_DIR, which only
# the program's starter has, keeps naming the batch file and its folder.
last_run() {
    tw_poll "$1" 10 sh -c "grep -c . '$dir/args.out'" >/dev/null
    tr -d '\r' <"$dir/args.out" | tail -n 1
}
user_word add /t REG_SZ /d gamma
tw_keys ctrl+alt+a
tw_eq "unannounced, the change does not reach a launch" "$dirwin alpha \"two words\" beta" \
    "$(last_run $((runs + 1)))"
tw_drv environment-changed
tw_keys ctrl+alt+a
tw_eq "announced, it reaches the next one" "$dirwin alpha \"two words\" gamma" \
    "$(last_run $((runs + 2)))"
user_word delete
tw_finish
