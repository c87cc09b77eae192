#!/usr/bin/env bash
# The program on an English system: the panel, a message box and the entry dialog speak
# English; a list the Chinese program made reads, runs and saves back byte for byte, its
# built-in entry shown under the action's English name and note, and one added in English
# is stored as the Chinese program stores it; "language=zh" in the
# settings brings the Chinese panel back, also at a start with Windows from another folder.
. "$(dirname "$0")/lib.sh"

export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
RUNINFO="Program Properties"
dir=$TW_SCRATCH/english
mkdir -p "$dir"
tw_sample_files "$dir" no no
cp "$dir/list.map" "$TW_SCRATCH/list-as-made.map"

tw_start_panel "$dir" || { tw_fail "the panel appears"; tw_finish; }
tw_eq "the buttons and boxes are English" \
    $'Add\tBuilt-in\tClear\tRun at startup\tShow icon in the notification area\tHotkeys off' "$(
        for id in 1005 1014 1008 1002 1003 1001; do tw_drv_text text "$TW_PANEL" $id; done |
            paste -sd $'\t')"
tw_eq "so are the headings" $'Name\nHotkey\nCommand\nWorking folder\nNote' \
    "$(tw_drv columns "$TW_PANEL" | cut -f3)"
tw_eq "the Chinese list reads; the built-in entry and the missing hotkey show in English" \
    "$(tw_expected_rows "${TW_ROWS[0]}" "${TW_ROWS[1]/$'\t'无$'\t'/$'\t'None$'\t'}" \
        "Allow shutdown"$'\t'$'\t''$ZELO.TW.ACT~allow_shutdown$'$'\t'"_"$'\t'"Built-in action")" \
    "$(tw_rows)"

tw_drv post-click "$TW_PANEL" 1008
tw_eq "a message box is English" "Do you really want to delete all hotkeys?" \
    "$(tw_drv_text box-text "Are You Sure?" 10000)"
tw_drv answer-box "Are You Sure?" no 5000 >/dev/null

tw_drv dblclick-row "$TW_PANEL" 0 >/dev/null
tw_check "a row of the Chinese list runs" tw_wait_hits "$dir" hit1 1
tw_drv dblclick-row "$TW_PANEL" 2 >/dev/null
tw_check "the built-in row runs as its action, not as a program that cannot start" \
    sh -c "! wine '$TW_DRIVER' wait-window Failed 3000 >/dev/null 2>&1"

# A row switched off and on again rewrites the list twice: the second time as it was.
tw_drv set-check "$TW_PANEL" 0 0
tw_drv set-check "$TW_PANEL" 0 1
tw_check "the list is saved back byte for byte" \
    tw_poll same 10 sh -c "cmp -s '$dir/list.map' '$TW_SCRATCH/list-as-made.map' && echo same"

tw_drv post-click "$TW_PANEL" 1005
if tw_drv wait-window "$RUNINFO" 10000 >/dev/null; then
    tw_eq "the entry dialog is English" $'OK\tCancel\tChange...\tRun as administrator\tNormal' "$(
        for id in 1 2 2004 2009 1120; do tw_drv_text text "$RUNINFO" $id; done | paste -sd $'\t')"
    tw_shot "$TW_SHOTS/e2e-english-entry-dialog.png"
    tw_drv answer-box "$RUNINFO" cancel >/dev/null
else
    tw_fail "the entry dialog opens as \"$RUNINFO\""
fi
# A built-in action added in English is stored as the Chinese program stores it.
ACT="Tarnwick Built-in Actions"
tw_drv post-click "$TW_PANEL" 1014
if tw_drv wait-window "$ACT" 10000 >/dev/null; then
    tw_drv select-combo "$ACT" 1007 3
    tw_eq "the catalogue's actions have English names" "Forbid shutdown" "$(tw_drv_text text "$ACT" 1007)"
    tw_drv answer-box "$ACT" ok
    tw_check "the row shows the English name" \
        tw_poll "Forbid shutdown"$'\t'"Built-in action" 10 sh -c \
        "wine '$TW_DRIVER' list-rows '$TW_PANEL' | sed -n 4p | cut -f1,5"
    tw_check "the file holds the catalogue's name and the built-in note" \
        tw_poll $'name=禁止关机\ninfo=内置对象' 10 sh -c \
        "iconv -f GB18030 -t UTF-8 '$dir/list.map' | tr -d '\r' | sed -n '/^\[run4\]/,\$p' | grep -e '^name=' -e '^info='"
else
    tw_fail "the built-in action dialog opens as \"$ACT\""
fi
tw_shot "$TW_SHOTS/e2e-english-panel.png"
tw_stop

TW_LANGUAGE=zh tw_write_settings "$dir" no no list.map
tw_start_panel "$dir" || { tw_fail "the panel comes back"; tw_finish; }
tw_eq "language=zh brings the Chinese panel back on the English system" \
    $'添加\n允许关机' "$(tw_drv_text text "$TW_PANEL" 1005; tw_rows | sed -n 3p | cut -f1)"
tw_stop

# Started with Windows: from another folder, with the panel's folder as the argument. The
# settings of that folder choose the language.
mkdir -p "$TW_SCRATCH/elsewhere"
tw_start_panel "$TW_SCRATCH/elsewhere" "$(tw_winpath "$dir")" ||
    { tw_fail "the panel starts with its folder"; tw_finish; }
tw_eq "the folder's language=zh chooses the panel's language at a start with Windows" \
    $'添加\n允许关机' "$(tw_drv_text text "$TW_PANEL" 1005; tw_rows | sed -n 3p | cut -f1)"
tw_stop
tw_finish
