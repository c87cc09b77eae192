# Sourced by the scripts that run Windows programs under Wine.
# Gives every run the same private prefix, quiet logs, code page 936 (or TW_LANG's) and a
# display.

TW_ROOT=${TW_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}

tw_wine_env() {
    export WINEPREFIX=${TW_WINEPREFIX:-$TW_ROOT/build/wine-prefix}
    export WINEDEBUG=${WINEDEBUG:--all}
    # No network here: keep Wine from offering to install its .NET and HTML runtimes.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    # Code page 936 (GBK), the system the program is written for, unless TW_LANG names
    # another locale (en_US.UTF-8 for 1252, zh_TW.UTF-8 for 950).
    export LANG=${TW_LANG:-zh_CN.UTF-8} LC_ALL=${TW_LANG:-zh_CN.UTF-8}
    unset WINEARCH
}

# Creates the prefix once; concurrent callers wait for the first.
tw_wine_prefix_init() {
    tw_wine_env
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            wineboot -i >/dev/null 2>&1 || true
            wineserver -w
        fi
        if [ ! -f "$WINEPREFIX/.tw-configured" ]; then
            # Without a window manager Wine waits two seconds for every window that
            # closes unless its windows are unmanaged.
            wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
            touch "$WINEPREFIX/.tw-configured"
        fi
        # Debian's Wine does not find the fonts of fonts-wine on its own; without Marlett
        # the title bar buttons show letters instead of their glyphs.
        local fonts=/usr/share/wine/fonts
        if [ -f "$fonts/marlett.ttf" ] && [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ]; then
            mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
            cp "$fonts/marlett.ttf" "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
        fi
    ) 9>"$WINEPREFIX.lock"
}

# Starts Xvfb on a free display unless one is already set.
TW_XVFB_PID=""
tw_start_display() {
    if [ -n "${DISPLAY:-}" ]; then return 0; fi
    local n
    for n in $(seq 90 140); do
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
            Xvfb ":$n" -screen 0 "${TW_SCREEN:-1024x768x24}" -nolisten tcp >/dev/null 2>&1 &
            TW_XVFB_PID=$!
            export DISPLAY=":$n"
            local i
            for i in $(seq 1 50); do
                [ -e "/tmp/.X11-unix/X$n" ] && return 0
                sleep 0.1
            done
            echo "wine-env: Xvfb did not start on :$n" >&2
            return 1
        fi
    done
    echo "wine-env: no free display number" >&2
    return 1
}

tw_stop_display() {
    if [ -n "$TW_XVFB_PID" ]; then
        kill "$TW_XVFB_PID" 2>/dev/null || true
        wait "$TW_XVFB_PID" 2>/dev/null || true
        TW_XVFB_PID=""
    fi
}
