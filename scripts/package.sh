#!/usr/bin/env bash
# Builds the program for 32-bit and 64-bit Windows and writes the downloads to build/dist:
#   Tarnwick-<version>-x86.zip, Tarnwick-<version>-x64.zip   unpack and run
#   Tarnwick-<version>-setup.exe                              per-user installer
# <version> is the version resource's, which CMake generates from the project version.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/install-deps.sh >/dev/null
jobs=${TW_JOBS:-$(nproc 2>/dev/null || echo 2)}
dist=build/dist
stage=build/dist-stage
logs=build/logs
mkdir -p "$logs"

for preset in mingw-i686 mingw-x86_64; do
    echo "== build $preset"
    if ! { cmake --preset "$preset" && \
           cmake --build --preset "$preset" -j "$jobs" --target Tarnwick tarnwick_help; } \
           >"$logs/package-$preset.log" 2>&1; then
        tail -n 40 "$logs/package-$preset.log" >&2
        exit 1
    fi
done

version=$(sed -n 's/^#define TW_VERSION_TEXT "\(.*\)"$/\1/p' build/mingw-i686/generated/tw_version.h)
[ -n "$version" ] || { echo "package: no version in the generated version header" >&2; exit 1; }

stamp=$(git log -1 --format=%cI 2>/dev/null || date -u +%FT%TZ)
rm -rf "$dist" "$stage"
mkdir -p "$dist" "$stage"

# The readme is UTF-8 with a byte-order mark and CR LF, which Notepad shows correctly on
# Chinese and other systems alike.
write_readme() {
    printf '\xef\xbb\xbf' >"$1"
    sed -e "s/@VERSION@/$version/" -e 's/$/\r/' packaging/readme.txt >>"$1"
}

for pair in x86:mingw-i686 x64:mingw-x86_64; do
    arch=${pair%%:*}
    build=build/${pair#*:}
    folder=Tarnwick-$version-$arch
    mkdir -p "$stage/$arch/$folder"
    cp "$build/Tarnwick.exe" "$build/tarnwick.chm" res/tarnwick.ini res/sample.map \
       "$stage/$arch/$folder/"
    write_readme "$stage/$arch/$folder/readme.txt"
    # The files carry the time of the commit they were built from, not of the build.
    touch -d "$stamp" "$stage/$arch/$folder" "$stage/$arch/$folder"/*
    (cd "$stage/$arch" && TZ=UTC zip -q -X -r "$root/$dist/$folder.zip" "$folder")
    echo "== $dist/$folder.zip"
    # The installer takes the files from one flat folder per architecture.
    mv "$stage/$arch/$folder"/* "$stage/$arch/" && rmdir "$stage/$arch/$folder"
done

echo "== installer"
if ! makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DDIST="$root/$stage" \
        -DICON="$root/res/tarnwick.ico" -DOUTFILE="$root/$dist/Tarnwick-$version-setup.exe" \
        packaging/tarnwick.nsi >"$logs/package-nsis.log" 2>&1; then
    cat "$logs/package-nsis.log" >&2
    exit 1
fi
rm -rf "$stage"
echo "== $dist/Tarnwick-$version-setup.exe"
