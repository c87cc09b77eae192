#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the run command need.
# Idempotent: packages already present are skipped, and apt is not touched at all
# when nothing is missing.
set -euo pipefail

need_root() {
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then sudo "$@"; else
            echo "install-deps: root is needed to run: $*" >&2; return 1; fi
    else
        "$@"
    fi
}

native_pkgs=(locales cmake ninja-build g++ mingw-w64 wine wine64 xvfb xdotool imagemagick
             fonts-wqy-microhei fonts-wine clang libclang-rt-14-dev libgtest-dev libbenchmark-dev
             fp-utils nsis zip unzip libinih-dev)
i386_pkgs=(wine32:i386)

is_installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q '^install ok installed'
}

missing=()
for p in "${native_pkgs[@]}"; do is_installed "$p" || missing+=("$p"); done

has_i386=0
dpkg --print-foreign-architectures | grep -qx i386 && has_i386=1
for p in "${i386_pkgs[@]}"; do is_installed "$p" || missing+=("$p"); done

# Wine takes its code page from the locale: the tests run the program under Simplified
# Chinese (936), English (1252) and Traditional Chinese (950), and without the locale
# generated Wine cannot open files whose names hold characters beyond ASCII.
ensure_locale() {
    local name
    for name in zh_CN en_US zh_TW; do
        if ! locale -a 2>/dev/null | grep -qiE "^$name\.utf-?8\$"; then
            echo "install-deps: generating the $name.UTF-8 locale"
            need_root localedef -i "$name" -f UTF-8 "$name.UTF-8"
        fi
    done
}

if [ ${#missing[@]} -eq 0 ]; then
    ensure_locale
    echo "install-deps: everything is present"
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
if [ $has_i386 -eq 0 ]; then
    need_root dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
# A mirror in the middle of a sync fails an update now and then: try again, and go on with
# what was fetched if it keeps failing (the install then says what is really missing).
for attempt in 1 2 3 4 5; do
    need_root apt-get update -qq && break
    echo "install-deps: apt-get update failed (attempt $attempt), retrying" >&2
    sleep $((attempt * 5))
done
need_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
ensure_locale
echo "install-deps: done"
