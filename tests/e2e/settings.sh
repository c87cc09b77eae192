#!/usr/bin/env bash
# The settings file: missing file or missing "mapfile" end the program with a message and exit
# code 0; the tray box rewrites "showtray" keeping every other line; the autorun box writes the
# Run value and "autorun": machine-wide for a copy under Program Files, for the user for any
# other copy (Wine lets every copy write the machine-wide key), in one place only.
. "$(dirname "$0")/lib.sh"

RUN_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
USER_RUN_KEY=${RUN_KEY/HKLM/HKCU}
RUN_VALUE=ZELO.Tarnwick.Run

# The Run value's data under KEY (default the machine-wide one); fails when the value does not
# exist. A 32-bit program's HKLM writes land in the 32-bit view, a 64-bit program's in the
# 64-bit one; the plain view is the fallback.
run_value() {
    local line view key=${1:-$RUN_KEY}
    for view in /reg:32 /reg:64 ""; do
        line=$(wine reg query "$key" /v "$RUN_VALUE" $view 2>/dev/null | tr -d '\r' |
               grep -F "$RUN_VALUE" | grep REG_SZ)
        if [ -n "$line" ]; then
            line=${line#*REG_SZ}
            printf '%s' "${line#"${line%%[! ]*}"}"
            return 0
        fi
    done
    return 1
}
user_run_value() { run_value "$USER_RUN_KEY"; }
# The value's data, or <none>.
value_or_none() { "$@" || printf '<none>'; }

delete_run_value() {
    local key view
    for key in "$RUN_KEY" "$USER_RUN_KEY"; do
        for view in /reg:32 /reg:64 ""; do
            wine reg delete "$key" /v "$RUN_VALUE" /f $view >/dev/null 2>&1
        done
    done
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
tw_eq "a copy outside Program Files writes the Run value for the user: quoted program, then the directory" \
    "\"$TW_EXE_WIN\" $TW_SCRATCH_WIN" "$(value_or_none user_run_value)"
tw_eq "a copy outside Program Files writes no machine-wide value" "<none>" "$(value_or_none run_value)"

cp "$ini" "$TW_SCRATCH/before"
tw_drv click "$TW_PANEL" 1002
tw_wait_file_change "$ini" "$TW_SCRATCH/before" 5
settings yes no >"$TW_SCRATCH/expected"
tw_same_file "autorun off writes autorun=no" "$TW_SCRATCH/expected" "$ini"
tw_eq "autorun off empties the user's value and keeps it" "" "$(value_or_none user_run_value)"
tw_eq "autorun off empties the machine-wide value" "" "$(value_or_none run_value)"
tw_stop

# A copy under Program Files, which ordinary users cannot write, is started for every user.
installed=$WINEPREFIX/drive_c/Program\ Files/Tarnwick\ E2E
installed_win='C:\Program Files\Tarnwick E2E'
rm -rf "$installed"
mkdir -p "$installed"
cp "$TW_SCRATCH/Tarnwick.exe" "$TW_SCRATCH/list.map" "$installed/"
settings yes no >"$installed/tarnwick.ini"
scratch_exe=$TW_EXE_WIN
TW_EXE_WIN="$installed_win\\Tarnwick.exe"
tw_check "the installed copy's panel appears" tw_start_panel "$installed"
cp "$installed/tarnwick.ini" "$TW_SCRATCH/before"
tw_drv click "$TW_PANEL" 1002
tw_wait_file_change "$installed/tarnwick.ini" "$TW_SCRATCH/before" 5
tw_eq "a copy under Program Files writes the machine-wide value" \
    "\"$installed_win\\Tarnwick.exe\" $installed_win" "$(value_or_none run_value)"
tw_eq "and empties the user's one" "" "$(value_or_none user_run_value)"
cp "$installed/tarnwick.ini" "$TW_SCRATCH/before"
tw_drv click "$TW_PANEL" 1002
tw_wait_file_change "$installed/tarnwick.ini" "$TW_SCRATCH/before" 5
tw_eq "switched off, the machine-wide value is empty" "" "$(value_or_none run_value)"
tw_stop
TW_EXE_WIN=$scratch_exe
rm -rf "$installed"

delete_run_value
tw_finish
