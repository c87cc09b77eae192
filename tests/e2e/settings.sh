#!/usr/bin/env bash
# The settings file: missing file or missing "mapfile" end the program with a message and exit
# code 0; the tray box rewrites "showtray" keeping every other line; the autorun box writes the
# Run value and "autorun".
. "$(dirname "$0")/lib.sh"

RUN_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
RUN_VALUE=ZELO.Tarnwick.Run

# The Run value's data; fails when the value does not exist. A 32-bit program's HKLM writes
# land in the 32-bit view, a 64-bit program's in the 64-bit one; the plain view is the fallback.
run_value() {
    local line view
    for view in /reg:32 /reg:64 ""; do
        line=$(wine reg query "$RUN_KEY" /v "$RUN_VALUE" $view 2>/dev/null | tr -d '\r' |
               grep -F "$RUN_VALUE" | grep REG_SZ)
        if [ -n "$line" ]; then
            line=${line#*REG_SZ}
            printf '%s' "${line#"${line%%[! ]*}"}"
            return 0
        fi
    done
    return 1
}

delete_run_value() {
    wine reg delete "$RUN_KEY" /v "$RUN_VALUE" /f /reg:32 >/dev/null 2>&1
    wine reg delete "$RUN_KEY" /v "$RUN_VALUE" /f /reg:64 >/dev/null 2>&1
    wine reg delete "$RUN_KEY" /v "$RUN_VALUE" /f >/dev/null 2>&1
}

# expect_refusal WHAT MESSAGE: the program shows MESSAGE and ends with exit code 0.
expect_refusal() {
    tw_start "$TW_SCRATCH"
    tw_eq "$1: the message" "$2" "$(tw_drv_text box-text "TARNWICK ERROR" 30000)"
    tw_eq "$1: exit code 0 once the message is answered" 0 \
        "$(tw_drv press-exit "TARNWICK ERROR" ok 10000)"
    tw_check "$1: no process is left" tw_wait_no_program 10
    tw_stop
}

tw_sample_files "$TW_SCRATCH" yes no
rm "$TW_SCRATCH/tarnwick.ini"
expect_refusal "without tarnwick.ini" "找不到配置文件!"

tw_write "$TW_SCRATCH/tarnwick.ini" "[SET]" "showtray=yes" "autorun=no" "${TW_CATALOGUE[@]}"
expect_refusal "without mapfile" "配置文件格式错误!"

# A settings file with a comment and blank lines: a rewrite keeps every line but the blank ones.
settings() {  # SHOWTRAY AUTORUN [with-blanks]
    local lines=("# 本机设置" "[SET]" "" "showtray=$1" "autorun=$2" "" "mapfile=list.map"
                 "${TW_CATALOGUE[@]}" "") l out=()
    for l in "${lines[@]}"; do
        [ -z "$l" ] && [ "${3:-}" != with-blanks ] && continue
        out+=("$l")
    done
    printf '%s\r\n' "${out[@]}" | iconv -f UTF-8 -t GBK
}
ini=$TW_SCRATCH/tarnwick.ini
settings yes no with-blanks >"$ini"
delete_run_value

tw_check "the panel appears" tw_start_panel "$TW_SCRATCH"
tw_eq "the tray box starts checked" 1 "$(tw_drv checked "$TW_PANEL" 1003)"

cp "$ini" "$TW_SCRATCH/before"
tw_drv click "$TW_PANEL" 1003
tw_eq "a click unchecks the tray box" 0 "$(tw_drv checked "$TW_PANEL" 1003)"
tw_wait_file_change "$ini" "$TW_SCRATCH/before" 5
settings no no >"$TW_SCRATCH/expected"
tw_same_file "tray off writes showtray=no and keeps every other line" "$TW_SCRATCH/expected" "$ini"

cp "$ini" "$TW_SCRATCH/before"
tw_drv click "$TW_PANEL" 1003
tw_wait_file_change "$ini" "$TW_SCRATCH/before" 5
settings yes no >"$TW_SCRATCH/expected"
tw_same_file "tray on writes showtray=yes and keeps every other line" "$TW_SCRATCH/expected" "$ini"

cp "$ini" "$TW_SCRATCH/before"
tw_drv click "$TW_PANEL" 1002
tw_eq "a click checks the autorun box" 1 "$(tw_drv checked "$TW_PANEL" 1002)"
tw_wait_file_change "$ini" "$TW_SCRATCH/before" 5
settings yes yes >"$TW_SCRATCH/expected"
tw_same_file "autorun on writes autorun=yes" "$TW_SCRATCH/expected" "$ini"
tw_eq "autorun on writes the Run value: quoted program path, then the directory" \
    "\"$TW_EXE_WIN\" $TW_SCRATCH_WIN" "$(run_value)"
tw_check "where the machine-wide key takes it, no value is kept for the user" \
    bash -c "! wine reg query '${RUN_KEY/HKLM/HKCU}' /v $RUN_VALUE >/dev/null 2>&1"

cp "$ini" "$TW_SCRATCH/before"
tw_drv click "$TW_PANEL" 1002
tw_wait_file_change "$ini" "$TW_SCRATCH/before" 5
settings yes no >"$TW_SCRATCH/expected"
tw_same_file "autorun off writes autorun=no" "$TW_SCRATCH/expected" "$ini"
value=$(run_value)
tw_check "autorun off keeps the Run value" test $? -eq 0
tw_eq "autorun off empties the Run value" "" "$value"

delete_run_value
tw_finish
