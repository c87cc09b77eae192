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

native_pkgs=(cmake ninja-build g++ mingw-w64 wine wine64 xvfb xdotool imagemagick
             fonts-wqy-microhei clang libclang-rt-14-dev libgtest-dev libbenchmark-dev)
i386_pkgs=(wine32:i386)

is_installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q '^install ok installed'
}

missing=()
for p in "${native_pkgs[@]}"; do is_installed "$p" || missing+=("$p"); done

has_i386=0
dpkg --print-foreign-architectures | grep -qx i386 && has_i386=1
for p in "${i386_pkgs[@]}"; do is_installed "$p" || missing+=("$p"); done

if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: everything is present"
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
if [ $has_i386 -eq 0 ]; then
    need_root dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
need_root apt-get update -qq
need_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "install-deps: done"
