#!/usr/bin/env bash
# Compiles the help sources of one language into one .chm file.
#   scripts/build-help.sh SOURCE_DIR OUTPUT.chm
# docs/help holds the Chinese help, docs/help/en the English one; the Language line of the
# folder's tarnwick.hhp says which, and its Compiled file line names the file it makes.
# The sources are UTF-8 like the rest of the tree; the help viewer shows the contents and
# index in the system's ANSI code page and full-text search only works on it, so every
# text file is turned into the code page of its language (GBK, Windows-1252) and its
# charset declaration with it before compiling.
set -euo pipefail
src=$(cd "$1" && pwd)
out=$2
project=$src/tarnwick.hhp
[ -f "$project" ] || { echo "build-help: no tarnwick.hhp in $src" >&2; exit 1; }
language=$(sed -n 's/^Language=\([^[:space:]]*\).*/\1/p' "$project")
compiled=$(sed -n 's/^Compiled file=\([^[:space:]]*\).*/\1/p' "$project")
case $language in
    0x804) codepage=GBK charset=gb2312 locale=zh_CN.UTF-8 ;;
    0x409) codepage=CP1252 charset=windows-1252 locale=en_US.UTF-8 ;;
    *) echo "build-help: $project: no help is built for language '$language'" >&2; exit 1 ;;
esac
[ -n "$compiled" ] || { echo "build-help: $project names no compiled file" >&2; exit 1; }
# The compiler's output depends on the locale it runs in (under C it even drops a keyword of
# the index from its string table): always the one of the help's language, and no help at
# all where that locale is missing, as it would silently fall back to C.
if ! locale -a 2>/dev/null | tr 'A-Z' 'a-z' | sed 's/-//g' |
        grep -qx "$(echo "$locale" | tr 'A-Z' 'a-z' | sed 's/-//g')"; then
    echo "build-help: the locale $locale is missing here (scripts/install-deps.sh makes it)" >&2
    exit 1
fi
export LC_ALL=$locale
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for f in "$src"/*; do
    # The folders of other languages are helps of their own.
    [ -f "$f" ] || continue
    name=$(basename "$f")
    case $name in
        *.html|*.hhc|*.hhk|*.hhp)
            iconv -f UTF-8 -t "$codepage" "$f" | sed "s/charset=utf-8/charset=$charset/I" >"$work/$name" || {
                echo "build-help: $f holds a character $codepage does not have" \
                     "(write it as an HTML character reference, &#N;)" >&2; exit 1; } ;;
        *) cp "$f" "$work/$name" ;;
    esac
done
# The compiler leaves two bytes of the keyword index's map unset, so they hold whatever
# its memory held: with address randomisation off, that is the same on every run. Without
# it the file differs from build to build, so no help file is better than that one.
norandom=(setarch "$(uname -m)" -R)
if ! "${norandom[@]}" true 2>/dev/null; then
    echo "build-help: '${norandom[*]}' is missing or refused here (it turns address" \
         "randomisation off, without which the help's bytes vary from build to build)" >&2
    exit 1
fi
(cd "$work" && "${norandom[@]}" chmcmd --no-html-scan tarnwick.hhp >chmcmd.log 2>&1) || {
    cat "$work/chmcmd.log" >&2; exit 1; }
[ -s "$work/$compiled" ] || { cat "$work/chmcmd.log" >&2; exit 1; }
mkdir -p "$(dirname "$out")"
cp "$work/$compiled" "$out"
