# Harness of the end-to-end scenarios; sourced by each one as
#   . lib.sh TARNWICK_EXE DRIVER_EXE [WORK_DIR]
# Each scenario gets a clean scratch directory with a copy of the program, writes its own
# settings and list files there (GBK, CR LF), starts the program in a Wine virtual desktop
# and operates it through the driver. Every check prints one line "PASS: <scenario>: <what>"
# or "FAIL: <scenario>: <what>", which the test command counts.

set -u

TW_E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
TW_ROOT=${TW_ROOT:-$(cd "$TW_E2E_DIR/../.." && pwd)}
. "$TW_ROOT/scripts/wine-env.sh"

TW_SCENARIO=$(basename "$0" .sh)
TW_EXE_SRC=${1:?usage: scenario.sh TARNWICK_EXE DRIVER_EXE [WORK_DIR]}
TW_DRIVER=${2:?usage: scenario.sh TARNWICK_EXE DRIVER_EXE [WORK_DIR]}
TW_WORK=${3:-$(dirname "$TW_DRIVER")/scratch}
TW_SHOTS=$(dirname "$TW_WORK")

# The panel's caption is how the program finds its first copy and how we find the panel.
TW_PANEL="Tarnwick  --- www.tarnwick.org"
TW_DESKTOP_SIZE=1024x768
export TW_DESKTOP=twe2e

TW_FAILED=0
TW_DESKTOP_PID=""
TW_OWN_SERVER=0
TW_OWN_DISPLAY=0

# --- Results ----------------------------------------------------------------------------------

tw_pass() { echo "PASS: $TW_SCENARIO: $*"; }
tw_fail() { echo "FAIL: $TW_SCENARIO: $*"; TW_FAILED=$((TW_FAILED + 1)); }

# tw_check WHAT COMMAND...: passes when the command succeeds.
tw_check() {
    local what=$1; shift
    if "$@"; then tw_pass "$what"; else tw_fail "$what"; fi
}

# tw_eq WHAT EXPECTED ACTUAL
tw_eq() {
    if [ "$2" == "$3" ]; then
        tw_pass "$1"
    else
        tw_fail "$1"
        printf '    expected: %q\n    actual:   %q\n' "$2" "$3"
    fi
}

# tw_same_file WHAT EXPECTED_FILE ACTUAL_FILE: byte for byte.
tw_same_file() {
    if cmp -s "$2" "$3"; then
        tw_pass "$1"
    else
        tw_fail "$1"
        diff <(od -c "$2") <(od -c "$3") | head -n 20 | sed 's/^/    /'
    fi
}

tw_finish() {
    [ "$TW_FAILED" -eq 0 ]
    exit $?
}

# --- Paths and files --------------------------------------------------------------------------

# The Windows name of a Unix path: Wine maps the root of the file system to drive Z:.
tw_winpath() {
    local p
    p=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
    printf 'Z:%s' "${p//\//\\}"
}

# tw_write FILE LINE...: the lines in GB18030 (GBK for every character GBK has), each ended
# by CR LF, as the program writes files.
tw_write() {
    local file=$1; shift
    printf '%s\r\n' "$@" | iconv -f UTF-8 -t GB18030 >"$file"
}

# The built-in action catalogue every settings file carries.
TW_CATALOGUE=(
    "[ACT]" "count=5"
    "[act0]" "name=关机" 'icon=C:\windows\system32\shell32.dll' "iconint=27"
    'path=$ZELO.TW.ACT~shutdown$'
    "[act1]" "name=打开光驱" 'icon=C:\windows\system32\shell32.dll' "iconint=11"
    'path=$ZELO.TW.ACT~open_cdrom$'
    "[act2]" "name=关闭光驱" 'icon=C:\windows\system32\shell32.dll' "iconint=11"
    'path=$ZELO.TW.ACT~close_cdrom$'
    "[act3]" "name=禁止关机" 'icon=C:\windows\system32\shell32.dll' "iconint=47"
    'path=$ZELO.TW.ACT~forbid_shutdown$'
    "[act4]" "name=允许关机" 'icon=C:\windows\system32\shell32.dll' "iconint=44"
    'path=$ZELO.TW.ACT~allow_shutdown$'
)

# tw_write_settings DIR SHOWTRAY AUTORUN MAPFILE
# With TW_LANGUAGE set, the settings carry that "language" line, which only a person adds.
tw_write_settings() {
    tw_write "$1/tarnwick.ini" "[SET]" "showtray=$2" "autorun=$3" "mapfile=$4" \
        ${TW_LANGUAGE:+"language=$TW_LANGUAGE"} "${TW_CATALOGUE[@]}"
}

# tw_write_list FILE ENTRY...: a list file as the program writes it. An entry is
# "name|path|hotkey|iconint|icon|keydes|workdir|info"; a note's line breaks are written
# as \n in the entry and stored as the line-break marker.
tw_write_list() {
    local file=$1; shift
    local lines=("[MAIN]" "count=$#") n=0 e name path hotkey iconint icon keydes workdir info
    for e in "$@"; do
        n=$((n + 1))
        IFS='|' read -r name path hotkey iconint icon keydes workdir info <<<"$e"
        info=${info//\\n/\`@\`}
        lines+=("[run$n]" "name=$name" "path=$path" "hotkey=$hotkey" "iconint=$iconint"
                "icon=$icon" "keydes=$keydes" "workdir=$workdir" "info=$info")
    done
    tw_write "$file" "${lines[@]}"
}

# tw_marker DIR NAME: a batch file whose every run appends a line to NAME.hits; prints
# its Windows path. The shell runs .bat files through cmd, so a hit proves a launch.
tw_marker() {
    local hits
    hits=$(tw_winpath "$1/$2.hits")
    printf '@echo hit>>"%s"\r\n' "$hits" >"$1/$2.bat"
    tw_winpath "$1/$2.bat"
}

tw_hits() {
    if [ -f "$1/$2.hits" ]; then grep -c hit "$1/$2.hits"; else echo 0; fi
}

# tw_wait_hits DIR NAME COUNT [SECONDS]: waits until the marker has COUNT hits.
tw_wait_hits() {
    local i limit=$(( ${4:-10} * 10 ))
    for ((i = 0; i < limit; i++)); do
        [ "$(tw_hits "$1" "$2")" -ge "$3" ] && return 0
        sleep 0.1
    done
    return 1
}

# tw_wait_file_change FILE OLD_COPY [SECONDS]: waits until FILE differs from OLD_COPY.
tw_wait_file_change() {
    local i limit=$(( ${3:-10} * 10 ))
    for ((i = 0; i < limit; i++)); do
        cmp -s "$1" "$2" || return 0
        sleep 0.1
    done
    return 1
}

# tw_sample_files DIR SHOWTRAY AUTORUN: settings naming "list.map" and a list of three
# entries: a marker with Ctrl+Alt+N and a two-line note, a marker without hotkey, and a
# built-in action. TW_ROWS holds the rows the panel is to show, as "tw_drv list-rows"
# prints them (columns name, key, command, directory, note; tab-separated).
TW_ROWS=()
tw_sample_files() {
    local dir=$1 dirwin hit1 hit2
    dirwin=$(tw_winpath "$dir")
    hit1=$(tw_marker "$dir" hit1)
    hit2=$(tw_marker "$dir" hit2)
    tw_write_settings "$dir" "$2" "$3" list.map
    tw_write_list "$dir/list.map" \
        "标记一|$hit1|1614|2|C:\windows\system32\shell32.dll|Ctrl + Alt + N|$dirwin|第一行\n第二行" \
        "Second entry|$hit2|0|0|$hit2|无|$dirwin|no hotkey" \
        '允许关机|$ZELO.TW.ACT~allow_shutdown$|0|44|C:\windows\system32\shell32.dll||_|内置对象'
    TW_ROWS=(
        "标记一"$'\t'"Ctrl + Alt + N"$'\t'"$hit1"$'\t'"$dirwin"$'\t''第一行\r\n第二行'
        "Second entry"$'\t'"无"$'\t'"$hit2"$'\t'"$dirwin"$'\t'"no hotkey"
        "允许关机"$'\t'$'\t''$ZELO.TW.ACT~allow_shutdown$'$'\t'"_"$'\t'"内置对象"
    )
}

# The rows of the panel's list, one line each.
tw_rows() { tw_drv_text list-rows "$TW_PANEL"; }
tw_expected_rows() { printf '%s\n' "$@"; }

# --- Driver -----------------------------------------------------------------------------------

# The driver prints the program's texts in UTF-8 whatever the code page.
tw_drv() { wine "$TW_DRIVER" "$@"; }
tw_drv_text() { wine "$TW_DRIVER" "$@"; }

# tw_poll EXPECTED SECONDS COMMAND...: repeats the command until it prints EXPECTED.
tw_poll() {
    local want=$1 limit=$(( $2 * 4 )) i out=""; shift 2
    for ((i = 0; i < limit; i++)); do
        out=$("$@" 2>/dev/null)
        [ "$out" == "$want" ] && return 0
        sleep 0.25
    done
    echo "    last output: $out"
    return 1
}

tw_keys() { tw_drv keys "$1"; }

tw_shot() {
    import -window root "$1" 2>/dev/null
}

# --- Processes --------------------------------------------------------------------------------

# The PIDs of processes of our Wine prefix whose process name is NAME (a pgrep -x pattern;
# Wine names a process after its executable).
tw_pids() {
    local pid
    for pid in $(pgrep -x -- "$1"); do
        if tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
            echo "$pid"
        fi
    done
}

tw_running() { [ -n "$(tw_pids 'Tarnwick\.exe')" ]; }

# tw_wait_no_program [SECONDS]: true once no Tarnwick process of our prefix is left.
tw_wait_no_program() {
    local i limit=$(( ${1:-10} * 10 ))
    for ((i = 0; i < limit; i++)); do
        tw_running || return 0
        sleep 0.1
    done
    return 1
}

# tw_start DIR [ARGS...]: starts the scratch copy of the program in the virtual desktop, with
# DIR as the current directory (the program reads tarnwick.ini from there).
tw_start() {
    local dir=$1; shift
    (cd "$dir" && exec wine explorer "/desktop=$TW_DESKTOP,$TW_DESKTOP_SIZE" "$TW_EXE_WIN" "$@") \
        >>"$TW_SCRATCH/wine.log" 2>&1 &
    TW_DESKTOP_PID=$!
}

# tw_start_panel DIR [ARGS...]: starts the program and waits for its panel.
tw_start_panel() {
    tw_start "$@"
    tw_drv wait-window "$TW_PANEL" 30000
}

# tw_stop: ends the program the way a user does (Exit), or by its PIDs when it does not react.
tw_stop() {
    if tw_running; then
        tw_drv press-exit "$TW_PANEL" 1 5000 >/dev/null 2>&1
        if ! tw_wait_no_program 5; then
            local pid
            for pid in $(tw_pids 'Tarnwick\.exe'); do kill "$pid" 2>/dev/null; done
            tw_wait_no_program 5
        fi
    fi
    if [ -n "$TW_DESKTOP_PID" ]; then
        kill "$TW_DESKTOP_PID" 2>/dev/null
        wait "$TW_DESKTOP_PID" 2>/dev/null
        TW_DESKTOP_PID=""
    fi
}

tw_cleanup() {
    tw_stop
    if [ "$TW_OWN_SERVER" -eq 1 ]; then wineserver -k 2>/dev/null; fi
    if [ "$TW_OWN_DISPLAY" -eq 1 ]; then tw_stop_display; fi
}

# --- Set-up -----------------------------------------------------------------------------------

tw_setup() {
    tw_wine_env
    if [ -z "${DISPLAY:-}" ]; then
        tw_start_display || { tw_fail "start a display"; exit 1; }
        TW_OWN_DISPLAY=1
    fi
    tw_wine_prefix_init
    # A server we started is ours to end; one that was running belongs to the test command.
    [ -z "$(tw_pids 'wineserver(64)?')" ] && TW_OWN_SERVER=1
    wineserver -p </dev/null >/dev/null 2>&1
    trap tw_cleanup EXIT

    if tw_running; then
        tw_fail "no other Tarnwick runs in the prefix $WINEPREFIX (end it first)"
        exit 1
    fi

    TW_SCRATCH=$TW_WORK/$TW_SCENARIO
    rm -rf "$TW_SCRATCH"
    mkdir -p "$TW_SCRATCH"
    cp "$TW_EXE_SRC" "$TW_SCRATCH/Tarnwick.exe"
    TW_EXE_WIN=$(tw_winpath "$TW_SCRATCH/Tarnwick.exe")
    TW_SCRATCH_WIN=$(tw_winpath "$TW_SCRATCH")
}

tw_setup

# Starts a helper program in the same desktop that holds KEYS (xdotool's names, e.g.
# ctrl+alt+n) until the file $flag is removed, and waits until it holds them. Sets $flag and
# $HELPER_PID; the helper is ended with the program when the script ends.
#   tw_hold_hotkey DIR KEYS NAME   NAME is the combination as the check reports it
tw_hold_hotkey() {
    flag=$1/held.flag
    rm -f "$flag" "$flag.done"
    (cd "$1" && exec wine explorer "/desktop=$TW_DESKTOP,$TW_DESKTOP_SIZE" \
        "$(tw_winpath "$TW_DRIVER")" hold-hotkey "$2" "$(tw_winpath "$flag")" 240000) \
        >>"$1/wine.log" 2>&1 &
    HELPER_PID=$!
    trap 'rm -f "$flag"; tw_cleanup; kill "$HELPER_PID" 2>/dev/null; wait "$HELPER_PID" 2>/dev/null' EXIT
    tw_check "the other program holds $3" tw_poll 0 30 sh -c "grep -q held '$flag'; echo \$?"
}
