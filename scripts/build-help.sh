#!/usr/bin/env bash
# Compiles the help sources in docs/help into one .chm file.
#   scripts/build-help.sh SOURCE_DIR OUTPUT.chm
# The sources are UTF-8 like the rest of the tree; the help viewer shows the contents and
# index in the system's ANSI code page and full-text search only works on it, so every
# text file is turned into GBK and its charset declaration with it before compiling.
set -euo pipefail
# The compiler's output depends on the locale it runs in (under C it even drops a keyword of
# the index from its string table): always the one of the help's language.
export LC_ALL=zh_CN.UTF-8
src=$(cd "$1" && pwd)
out=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for f in "$src"/*; do
    name=$(basename "$f")
    case $name in
        *.html|*.hhc|*.hhk|*.hhp)
            iconv -f UTF-8 -t GBK "$f" | sed 's/charset=utf-8/charset=gb2312/I' >"$work/$name" ;;
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
[ -s "$work/tarnwick.chm" ] || { cat "$work/chmcmd.log" >&2; exit 1; }
mkdir -p "$(dirname "$out")"
cp "$work/tarnwick.chm" "$out"
