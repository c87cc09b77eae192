#!/usr/bin/env bash
# The same Chinese program on a Simplified Chinese (code page 936), an English (1252, where
# the settings ask for Chinese) and a Traditional Chinese (950) system: the panel's texts, a message box and the rows of a list
# file read the same; in a folder named "łódź", a binding to a program in a folder named
# with Hangul and an emoji is added through the entry dialog, saved, launched and back
# after a restart, and the list file it makes has the same bytes on every system.
. "$(dirname "$0")/lib.sh"

RUNINFO="快速启动程序属性"
lodz=$'\xc5\x82\xc3\xb3d\xc5\xba'
far=$'\xea\xb9\x80\xeb\xaf\xbc\xec\xa4\x80 \xf0\x9f\x98\x80' # 김민준 and an emoji
dir=$TW_SCRATCH/$lodz
mkdir -p "$dir" "$TW_SCRATCH/$far"
# cmd reads a batch file in the console's code page: the marker writes to a plain name.
printf '@echo hit>>"%s"\r\n' "$TW_SCRATCH_WIN\\far.hits" >"$TW_SCRATCH/$far/far.bat"
program="$(tw_winpath "$TW_SCRATCH/$far")\\far.bat"
panel_texts=$'添加\t清空\t开机自动运行\t在托盘中显示图标\t关闭快捷键'
headings=$'程序名\n快捷键\n命令\n工作目录\n说明'

for locale in zh_CN.UTF-8 en_US.UTF-8 zh_TW.UTF-8; do
    export LANG=$locale LC_ALL=$locale
    TW_LANGUAGE=; [ "$locale" == en_US.UTF-8 ] && TW_LANGUAGE=zh
    rm -f "$TW_SCRATCH/far.hits"
    tw_sample_files "$dir" no no
    tw_start_panel "$dir" || { tw_fail "$locale: the panel appears"; continue; }
    tw_eq "$locale: the buttons and boxes read as written" "$panel_texts" "$(
        for id in 1005 1008 1002 1003 1001; do tw_drv_text text "$TW_PANEL" $id; done |
            paste -sd $'\t')"
    tw_eq "$locale: so do the headings" "$headings" "$(tw_drv columns "$TW_PANEL" | cut -f3)"
    tw_eq "$locale: the rows of the list file read as written" "$(tw_expected_rows "${TW_ROWS[@]}")" \
        "$(tw_rows)"
    tw_drv post-click "$TW_PANEL" 1008
    tw_eq "$locale: a message box reads as written" "你真的要删除设置的所有快捷键吗?" \
        "$(tw_drv_text box-text "Are You Sure?" 10000)"
    tw_drv answer-box "Are You Sure?" no 5000 >/dev/null

    tw_drv post-click "$TW_PANEL" 1005
    tw_drv wait-window "$RUNINFO" 10000 >/dev/null
    tw_drv set-text "$RUNINFO" 2000 "远方"
    tw_drv set-text "$RUNINFO" 2001 "$program"
    tw_drv answer-box "$RUNINFO" ok
    tw_check "$locale: the added row is saved in the folder łódź" \
        tw_poll 1 10 sh -c "iconv -f GB18030 -t UTF-8 '$dir/list.map' | grep -c '^count=4'"
    cp "$dir/list.map" "$TW_SCRATCH/list-$locale.map"
    tw_shot "$TW_SHOTS/e2e-codepage-${locale%%.*}.png"
    tw_stop

    tw_start_panel "$dir" || { tw_fail "$locale: the panel comes back"; continue; }
    added() { tw_drv_text list-rows "$TW_PANEL" | sed -n 4p | cut -f1,3; }
    tw_check "$locale: after a restart the row names the program as it was added" \
        tw_poll "远方"$'\t'"$program" 10 added
    tw_drv dblclick-row "$TW_PANEL" 3 >/dev/null
    tw_check "$locale: and launches it" tw_wait_hits "$TW_SCRATCH" far 1
    tw_stop
done

tw_check "every system writes the same bytes" \
    cmp -s "$TW_SCRATCH/list-zh_CN.UTF-8.map" "$TW_SCRATCH/list-en_US.UTF-8.map"
tw_check "and the Traditional Chinese one too" \
    cmp -s "$TW_SCRATCH/list-zh_CN.UTF-8.map" "$TW_SCRATCH/list-zh_TW.UTF-8.map"
tw_finish
