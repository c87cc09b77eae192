#!/usr/bin/env bash
# The downloads as a user meets them: what the two zips hold, and the installer's round trip
# in a fresh Wine prefix (silent install, start from the Start-menu shortcut, a running copy
# with a dialog open, a list the user edited, a second folder, uninstall while the program
# runs, an install in English), and that neither help is built without what makes its bytes reproducible. Prints "PASS: package: ..." or "FAIL: package: ..." per check.
# With TWIN_DIST, the packages of a second build of the same sources in another folder, it
# first checks that both builds gave the same bytes.
#   tests/package/check.sh DIST_DIR VERSION DRIVER_EXE [TWIN_DIST]
set -u
TW_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$TW_ROOT/scripts/wine-env.sh"

dist=$(cd "$1" && pwd)
version=$2
driver=$3
twin=${4:-}
panel="Tarnwick  --- www.tarnwick.org"
failed=0

pass() { echo "PASS: package: $*"; }
fail() { echo "FAIL: package: $*"; failed=$((failed + 1)); }
check() {
    local what=$1; shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}
eq() {
    if [ "$2" == "$3" ]; then pass "$1"; else
        fail "$1"; printf '    expected: %q\n    actual:   %q\n' "$2" "$3"; fi
}

tmp=$(mktemp -d)

# --- What is published ------------------------------------------------------------------------

published=$(printf '%s\n' SHA256SUMS "Tarnwick-$version-setup.exe" \
    "Tarnwick-$version-"{x86,x64}.{zip,debug} | LC_ALL=C sort)
eq "the release is the installer, both zips, their programs' debug files and SHA256SUMS" \
    "$published" "$(cd "$dist" && ls | LC_ALL=C sort)"
check "SHA256SUMS holds every other file and their checksums are right" bash -c "
    cd '$dist' && [ \"\$(awk '{print \$2}' SHA256SUMS)\" == \"\$(LC_ALL=C ls | grep -vx SHA256SUMS)\" ] &&
    sha256sum --quiet -c SHA256SUMS"

# Says which file differs, and for a zip which file in it, with the first differing bytes.
same_bytes() {
    local a=$1 b=$2 name ok=0
    cmp -s "$a" "$b" && return 0
    echo "    $(basename "$a") differs:"
    case $a in
        *.zip)
            rm -rf "$tmp/a" "$tmp/b" && mkdir -p "$tmp/a" "$tmp/b"
            unzip -qq "$a" -d "$tmp/a" && unzip -qq "$b" -d "$tmp/b"
            diff <(unzip -Z -l "$a" | sed 1,2d) <(unzip -Z -l "$b" | sed 1,2d) | sed 's/^/    /'
            for name in $(cd "$tmp/a" && find . -type f | sort); do
                cmp -s "$tmp/a/$name" "$tmp/b/$name" && continue
                echo "    $name:"; cmp -l "$tmp/a/$name" "$tmp/b/$name" 2>&1 | head -n 5 | sed 's/^/      /'
            done ;;
        *) cmp -l "$a" "$b" 2>&1 | head -n 5 | sed 's/^/      /' ;;
    esac
    return 1
}
# A zip's comparison names each file in it that differs, either help file among them.
if [ -n "$twin" ]; then
    for f in $published; do
        check "a second build in another folder gives the same $f" same_bytes "$dist/$f" "$twin/$f"
    done
fi

# --- The zips ---------------------------------------------------------------------------------

for arch in x86 x64; do
    zip=$dist/Tarnwick-$version-$arch.zip
    top=Tarnwick-$version-$arch
    if [ ! -f "$zip" ]; then fail "$arch: $zip was written"; continue; fi
    expected=$(printf '%s\n' "$top/" "$top/LICENSE.txt" "$top/Tarnwick.exe" "$top/readme.txt" \
                   "$top/sample.map" "$top/tarnwick.chm" "$top/tarnwick-en.chm" "$top/tarnwick.ini" | sort)
    eq "$arch: the zip holds exactly the program, settings, sample list, both helps, readme and licence" \
        "$expected" "$(unzip -Z1 "$zip" | sort)"
    check "$arch: the zip is intact" unzip -tqq "$zip"
    case $arch in x86) want="PE32 executable" manifest=x86 ;; x64) want="PE32+ executable" manifest=amd64 ;; esac
    check "$arch: the program is built for $arch" \
        bash -c "unzip -p '$zip' '$top/Tarnwick.exe' | file - | grep -q '$want'"
    check "$arch: the program has no symbols or debug information; it names its debug file" bash -c "
        export LC_ALL=C && unzip -p '$zip' '$top/Tarnwick.exe' >'$tmp/program.exe' &&
        ! x86_64-w64-mingw32-objdump -h '$tmp/program.exe' | grep -q ' \.debug_' &&
        x86_64-w64-mingw32-objdump -t '$tmp/program.exe' | grep -q 'no symbols' &&
        grep -aq 'Tarnwick-$version-$arch\.debug' '$tmp/program.exe' &&
        [ \$(x86_64-w64-mingw32-nm '$dist/Tarnwick-$version-$arch.debug' | grep -c ' T ') -gt 100 ]"
    check "$arch: its manifest names $manifest, asks for DPI awareness and to run as invoker" \
        bash -c "unzip -p '$zip' '$top/Tarnwick.exe' | grep -aq 'processorArchitecture=\"$manifest\"' &&
                 unzip -p '$zip' '$top/Tarnwick.exe' | grep -aq 'dpiAware' &&
                 unzip -p '$zip' '$top/Tarnwick.exe' | grep -aq 'level=\"asInvoker\"'"
    # Each help: its file, its pages' code page and charset, a text of its language.
    for help in 'tarnwick.chm:GBK:gb2312:开机自动运行' 'tarnwick-en.chm:CP1252:windows-1252:Run at startup'; do
        IFS=: read -r chm codepage charset text <<<"$help"
        check "$arch: $chm is a compiled help file" \
            bash -c "unzip -p '$zip' '$top/$chm' | head -c 4 | grep -q ITSF"
        check "$arch: $chm holds every page, its contents and index" bash -c "
            unzip -p '$zip' '$top/$chm' >'$tmp/help.chm' &&
            chmls list '$tmp/help.chm' >'$tmp/help.list' 2>/dev/null &&
            for page in index panel dialogs hotkeys files faq; do
                grep -q \"/\$page.html\" '$tmp/help.list' || exit 1; done &&
            grep -q /toc.hhc '$tmp/help.list' && grep -q /index.hhk '$tmp/help.list'"
        check "$arch: the pages of $chm are $codepage and say so" bash -c "
            cd '$tmp' && rm -f faq.html && chmls extract help.chm /faq.html faq.html >/dev/null 2>&1 &&
            grep -q 'charset=$charset' faq.html && iconv -f $codepage -t UTF-8 faq.html | grep -q '$text'"
    done
    check "$arch: settings, sample list and licence are the tree's" \
        bash -c "unzip -p '$zip' '$top/tarnwick.ini' | cmp -s - '$TW_ROOT/res/tarnwick.ini' &&
                 unzip -p '$zip' '$top/sample.map' | cmp -s - '$TW_ROOT/res/sample.map' &&
                 unzip -p '$zip' '$top/LICENSE.txt' | tr -d '\r' | cmp -s - '$TW_ROOT/LICENSE.txt'"
done

# --- The installer ----------------------------------------------------------------------------

setup=$dist/Tarnwick-$version-setup.exe
check "the installer was written" test -f "$setup"

export TW_WINEPREFIX=$TW_ROOT/build/package-test/prefix
rm -rf "$TW_ROOT/build/package-test"
mkdir -p "$TW_ROOT/build/package-test"
own_display=0
if [ -z "${DISPLAY:-}" ]; then
    tw_start_display || { fail "start a display"; exit 1; }
    own_display=1
fi
tw_wine_prefix_init
wineserver -p </dev/null >/dev/null 2>&1
cleanup() {
    rm -rf "$tmp"
    wineserver -k 2>/dev/null
    [ $own_display -eq 1 ] && tw_stop_display
}
trap cleanup EXIT

# Wine names a process after its executable; only the processes of this prefix count.
prefix_pids() {
    local pid
    for pid in $(pgrep -x "$1"); do
        tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" && echo "$pid"
    done
}
none_running() { [ -z "$(prefix_pids "$1")" ]; }
wait_until() {
    local limit=$(( $1 * 10 )) i; shift
    for ((i = 0; i < limit; i++)); do "$@" && return 0; sleep 0.1; done
    return 1
}
win_to_unix() { winepath -u "$1" 2>/dev/null | tr -d '\r'; }
reg_value() {
    wine reg query "$1" /v "$2" ${3:-} 2>/dev/null | tr -d '\r' |
        awk -v n="$2" '$1 == n {sub(/^.*REG_SZ[ \t]*/, ""); sub(/^.*REG_DWORD[ \t]*/, ""); print}'
}
reg_has() { wine reg query "$1" /v "$2" ${3:-} >/dev/null 2>&1; }
files_in() { (cd "$1" 2>/dev/null && ls | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//'); }
# The uninstaller copies itself away (Un.exe) and goes on from there.
uninstall_silently() {
    wine "$1/uninstall.exe" /S && wait_until 60 none_running 'Un\.exe'
}
start_installed() {
    (cd / && exec wine start "$(winepath -w "$menu/Tarnwick.lnk" 2>/dev/null | tr -d '\r')") \
        >/dev/null 2>&1
    wine "$driver" wait-window "$panel" 30000
}
uninst='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarnwick'
runkey='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
userrun='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'

check "the installer runs silently without administrator" wine "$setup" /S
localapp=$(wine cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')
appdata=$(wine cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')
instwin="$localapp\\Programs\\Tarnwick"
inst=$(win_to_unix "$instwin")
menu=$(win_to_unix "$appdata\\Microsoft\\Windows\\Start Menu\\Programs\\Tarnwick")
drive_c=$(win_to_unix 'C:\')

eq "it installs under the user's local programs folder, with the list of what it wrote" \
    "LICENSE.txt Tarnwick.exe readme.txt sample.map tarnwick-en.chm tarnwick.chm tarnwick.ini uninstall.exe uninstall.ini" \
    "$(files_in "$inst")"
check "a 64-bit system gets the 64-bit program" bash -c "file '$inst/Tarnwick.exe' | grep -q 'PE32+'"
check "the Start menu has the program's shortcut" test -f "$menu/Tarnwick.lnk"
check "and, in Chinese, the shortcuts to the Chinese help and the uninstaller" \
    bash -c "grep -aq 'tarnwick\.chm' '$menu/Tarnwick 帮助.lnk' && test -f '$menu/卸载 Tarnwick.lnk'"
eq "Windows lists it for removal with its version" "$version" "$(reg_value "$uninst" DisplayVersion)"
eq "and with its size in KiB" \
    "$(printf '0x%x' $(( ($(cat "$inst"/* | wc -c) - $(wc -c <"$inst/uninstall.ini") + 1023) / 1024 )))" \
    "$(reg_value "$uninst" EstimatedSize)"

# --- Running copies ------------------------------------------------------------------------------

# A copy unpacked elsewhere is not the installer's to end.
portable=$drive_c/portable
mkdir -p "$portable" && unzip -qq -j "$dist/Tarnwick-$version-x64.zip" -d "$portable"
(cd / && exec wine start /d 'C:\portable' 'C:\portable\Tarnwick.exe') >/dev/null 2>&1
wine "$driver" wait-window "$panel" 30000 >/dev/null 2>&1
check "installing again leaves a copy running from another folder alone" bash -c "
    wine '$setup' /S && [ -n \"\$(pgrep -x 'Tarnwick\.exe')\" ] && wine '$driver' wait-window '$panel' 100"
wine "$driver" click "$panel" 1 >/dev/null 2>&1
wait_until 10 none_running 'Tarnwick\.exe'

# The shortcut alone must give the program its folder: it reads tarnwick.ini from there.
check "the shortcut starts the program and its panel appears" start_installed
check "the panel shows the sample list's three entries" wine "$driver" wait-list-count "$panel" 3 10000
sleep 1
import -window root "$TW_ROOT/build/package-test/installed-panel.png" 2>/dev/null

# With a dialog open the program ends only once it is closed: a silent run gives up, says
# so and leaves the installation as it was, rather than half old and half new.
wine "$driver" post-click "$panel" 1013 >/dev/null 2>&1
wine "$driver" wait-window "关于 Tarnwick" 10000 >/dev/null 2>&1
touch -d 2001-01-01 "$inst"/*
wine "$setup" /S
eq "with a dialog of the running copy open, installing again fails" 2 $?
eq "and rewrites nothing" "" "$(find "$inst" -type f -newermt 2001-01-02)"
wine "$inst/uninstall.exe" /S "_?=$instwin"
eq "uninstalling fails too" 2 $?
eq "and removes nothing" \
    "LICENSE.txt Tarnwick.exe readme.txt sample.map tarnwick-en.chm tarnwick.chm tarnwick.ini uninstall.exe uninstall.ini $version" \
    "$(files_in "$inst") $(reg_value "$uninst" DisplayVersion)"
wine "$driver" answer-box "关于 Tarnwick" ok 5000 >/dev/null 2>&1
wait_until 10 none_running 'Tarnwick\.exe'
check "with the dialog closed, installing again rewrites the program" bash -c "
    wine '$setup' /S && [ -n \"\$(find '$inst/Tarnwick.exe' -newermt 2001-01-02)\" ]"

# --- What the user changed --------------------------------------------------------------------

start_installed >/dev/null 2>&1
wine "$driver" wait-list-count "$panel" 3 10000 >/dev/null 2>&1
cp "$inst/sample.map" "$tmp/sample.map.before"
wine "$driver" set-check "$panel" 0 0 >/dev/null 2>&1
check "switching a binding off rewrites the list" wait_until 10 bash -c "! cmp -s '$inst/sample.map' '$tmp/sample.map.before'"
cp "$inst/sample.map" "$tmp/sample.map.edited"

# Start with Windows, as a user switches it on: the installed copy lies in the user's own
# folder, so the value is the user's, and it names the install folder.
wine "$driver" click "$panel" 1002 >/dev/null 2>&1
# The program may quote its path; either way the value starts the installed copy.
runvalue=$(reg_value "$userrun" ZELO.Tarnwick.Run)
eq "switching on start-with-Windows writes the per-user Run value" \
    "$instwin\\Tarnwick.exe $instwin" "${runvalue//\"/}"
check "and no machine-wide one" bash -c "$(declare -f reg_has); ! reg_has '$runkey' ZELO.Tarnwick.Run /reg:64"
wine "$driver" click "$panel" 1002 >/dev/null 2>&1
check "switching it off again leaves the value empty" \
    bash -c "$(declare -f reg_has reg_value); reg_has '$userrun' ZELO.Tarnwick.Run &&
             [ -z \"\$(reg_value '$userrun' ZELO.Tarnwick.Run)\" ]"
# An empty machine-wide value an older program left, the user's value for the installed
# copy, and one of the copy in another folder, made by hand.
wine reg add "$runkey" /v ZELO.Tarnwick.Run /d '' /reg:64 /f >/dev/null 2>&1
check "a per-user Run value for the installed copy is made" \
    wine reg add "$userrun" /v ZELO.Tarnwick.Run /d "\"$instwin\\Tarnwick.exe\" $instwin" /f
wine reg add "$runkey" /v ZELO.Tarnwick.Run /d '"C:\portable\Tarnwick.exe" C:\portable' \
    /reg:32 /f >/dev/null 2>&1

# --- A second folder --------------------------------------------------------------------------

# A zip unpacked there, its readme with the user's notes.
second=$drive_c/second
mkdir -p "$second" && unzip -qq -j "$dist/Tarnwick-$version-x86.zip" -d "$second"
echo "my notes" >>"$second/readme.txt"
cp "$second/readme.txt" "$tmp/readme.notes"
check "the installer installs into a second folder" wine "$setup" /S '/D=C:\second'
check "it keeps the readme it did not write" cmp -s "$second/readme.txt" "$tmp/readme.notes"
eq "the Apps entry moves to the second folder" 'C:\second' "$(reg_value "$uninst" InstallLocation)"

check "the first folder's uninstaller runs silently" uninstall_silently "$inst"
check "it ends the running program first" wait_until 10 none_running 'Tarnwick\.exe'
eq "it keeps the edited list and nothing else" "sample.map" "$(files_in "$inst")"
check "the list as the user left it" cmp -s "$inst/sample.map" "$tmp/sample.map.edited"
check "it leaves the second folder's Start-menu shortcuts" test -f "$menu/Tarnwick.lnk"
eq "and its Apps entry" 'C:\second' "$(reg_value "$uninst" InstallLocation)"
check "it clears the empty Run value and the one for its folder" bash -c "
    $(declare -f reg_has); ! reg_has '$runkey' ZELO.Tarnwick.Run /reg:64 && ! reg_has '$userrun' ZELO.Tarnwick.Run"
eq "it keeps the value of the copy in another folder" '"C:\portable\Tarnwick.exe" C:\portable' \
    "$(reg_value "$runkey" ZELO.Tarnwick.Run /reg:32)"

check "the second folder's uninstaller runs silently" uninstall_silently "$second"
eq "it removes only what it wrote" "LICENSE.txt readme.txt sample.map tarnwick.ini" "$(files_in "$second")"
check "it removes the Start-menu shortcuts" test ! -e "$menu"
eq "it removes its entry from the uninstall list" "" "$(reg_value "$uninst" DisplayVersion)"

# --- In English ---------------------------------------------------------------------------------

# The installer speaks the system's language; the uninstaller may speak another.
english=$drive_c/english
check "on an English system the installer installs too" \
    env LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 wine "$setup" /S '/D=C:\english'
eq "and names its Start-menu shortcuts in English, the help's pointing to the English help" \
    "Tarnwick Help.lnk Tarnwick.lnk Uninstall Tarnwick.lnk tarnwick-en.chm" \
    "$(files_in "$menu") $(grep -ao 'tarnwick[-a-z]*\.chm' "$menu/Tarnwick Help.lnk" | sort -u)"
check "the Chinese uninstaller removes it all, the English shortcuts too" uninstall_silently "$english"
eq "and leaves neither files nor Start-menu folder" "" "$(files_in "$english")$(ls -d "$menu" 2>/dev/null)"

# --- The help's reproducible bytes --------------------------------------------------------------

mkdir -p "$tmp/refused" && printf '#!/bin/sh\nexit 1\n' >"$tmp/refused/setarch" && chmod +x "$tmp/refused/setarch"
check "neither help is built where address randomisation cannot be switched off" bash -c "
    for src in docs/help docs/help/en; do
        ! PATH='$tmp/refused':\$PATH bash '$TW_ROOT/scripts/build-help.sh' \"$TW_ROOT/\$src\" '$tmp/help/x.chm' 2>/dev/null || exit 1
    done; test ! -e '$tmp/help/x.chm'"

[ $failed -eq 0 ]
