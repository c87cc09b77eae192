#!/usr/bin/env bash
# Builds the program for 32-bit and 64-bit Windows and writes the downloads to build/dist:
#   Tarnwick-<version>-x86.zip, Tarnwick-<version>-x64.zip   unpack and run
#   Tarnwick-<version>-setup.exe                              per-user installer
#   Tarnwick-<version>-x86.debug, Tarnwick-<version>-x64.debug   the programs' symbols
#   SHA256SUMS                                                    checksums of the above
# <version> is the version resource's, which CMake generates from the project version.
# One commit gives the same bytes wherever and whenever it is built: every date in the
# packages is SOURCE_DATE_EPOCH, by default the time of the commit.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/install-deps.sh >/dev/null

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || true)
    if [ -z "$SOURCE_DATE_EPOCH" ]; then
        # A tree without its history (a source archive): a fixed date, so that two builds
        # of it still agree. 1980-01-02, as a zip cannot hold a date before 1980.
        SOURCE_DATE_EPOCH=315619200
        echo "package: no git history here: every date in the packages is 1980-01-02" \
             "(set SOURCE_DATE_EPOCH to the commit's time to match its release)" >&2
    fi
fi
export SOURCE_DATE_EPOCH
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

rm -rf "$dist" "$stage"
mkdir -p "$dist" "$stage"

# The readme is UTF-8 with a byte-order mark and CR LF, which Notepad shows correctly on
# Chinese and other systems alike.
write_readme() {
    printf '\xef\xbb\xbf' >"$1"
    sed -e "s/@VERSION@/$version/" -e 's/$/\r/' packaging/readme.txt >>"$1"
}

# The help compiler writes the time of day it ran, in milliseconds, into the file header
# and into the #SYSTEM file (code 10) of the uncompressed section: both get the commit's.
stamp_help() {
    perl -e '
        use strict;
        my ($file, $epoch) = @ARGV;
        my $ms = ($epoch % 86400) * 1000;
        open(my $fh, "+<:raw", $file) or die "$file: $!\n";
        local $/; my $chm = <$fh>;
        substr($chm, 0, 4) eq "ITSF" && unpack("V", substr($chm, 4, 4)) == 3
            or die "$file: not a version 3 compiled help file\n";
        substr($chm, 0x10, 4) = pack("N", $ms);
        my $section0 = unpack("V", substr($chm, 0x58, 4));
        # The directory entry of /#SYSTEM: name, then section, offset and length as
        # encoded integers.
        my $at = index($chm, "\x08/#SYSTEM");
        $at > 0 or die "$file: no #SYSTEM file\n";
        my @n; my $p = $at + 9;
        for (1 .. 3) {
            my $v = 0; my $b;
            do { $b = ord(substr($chm, $p++, 1)); $v = ($v << 7) | ($b & 0x7f) } while ($b & 0x80);
            push @n, $v;
        }
        my ($section, $offset, $length) = @n;
        $section == 0 or die "$file: #SYSTEM is compressed\n";
        my $pos = $section0 + $offset + 4; my $end = $section0 + $offset + $length;
        my $found = 0;
        while ($pos + 4 <= $end) {
            my ($code, $len) = unpack("vv", substr($chm, $pos, 4));
            if ($code == 10 && $len >= 4) { substr($chm, $pos + 4, 4) = pack("V", $ms); $found = 1 }
            $pos += 4 + $len;
        }
        $found or die "$file: no compile time in #SYSTEM\n";
        seek($fh, 0, 0); print $fh $chm; close($fh) or die "$file: $!\n";
    ' "$1" "$SOURCE_DATE_EPOCH"
}

for triple in x86:mingw-i686:i686 x64:mingw-x86_64:x86_64; do
    IFS=: read -r arch preset cpu <<<"$triple"
    build=build/$preset
    folder=Tarnwick-$version-$arch
    files=$stage/$arch/$folder
    mkdir -p "$files"
    # The package gets the program without its symbols and debug information, which go
    # to a file of their own beside the release; the program names that file and its CRC.
    debug=Tarnwick-$version-$arch.debug
    "$cpu-w64-mingw32-objcopy" --only-keep-debug "$build/Tarnwick.exe" "$dist/$debug"
    chmod 0644 "$dist/$debug"
    "$cpu-w64-mingw32-objcopy" --strip-all --add-gnu-debuglink="$dist/$debug" \
        "$build/Tarnwick.exe" "$files/Tarnwick.exe"
    cp "$build/tarnwick.chm" "$build/tarnwick-en.chm" res/tarnwick.ini res/sample.map "$files/"
    stamp_help "$files/tarnwick.chm"
    stamp_help "$files/tarnwick-en.chm"
    write_readme "$files/readme.txt"
    # CR LF like the readme, for Notepad.
    sed 's/$/\r/' LICENSE.txt >"$files/LICENSE.txt"
    # The files carry the time of the commit they were built from, not of the build, and
    # modes of their own, not of the umask.
    chmod 0755 "$files"
    chmod 0644 "$files"/*
    touch -d "@$SOURCE_DATE_EPOCH" "$files" "$files"/*
    # Entries in a fixed order, not the file system's; no extra fields (owners, times).
    (cd "$stage/$arch" && find "$folder" | LC_ALL=C sort |
        TZ=UTC zip -q -X -@ "$root/$dist/$folder.zip")
    echo "== $dist/$folder.zip"
    # The installer takes the files from one flat folder per architecture.
    mv "$files"/* "$stage/$arch/" && rmdir "$files"
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

(cd "$dist" && LC_ALL=C sha256sum -- Tarnwick-* >SHA256SUMS)
echo "== $dist/SHA256SUMS"
