#!/usr/bin/env bash
# The program's import table names only DLLs that Windows never looks for in the program's
# folder: its known DLLs, and comctl32, which the manifest takes from the side-by-side store.
# Any other would be loaded from wherever the program was unpacked before it starts.
#   imports.sh OBJDUMP TARNWICK_EXE
set -u
objdump=${1:?usage: imports.sh OBJDUMP TARNWICK_EXE}
exe=${2:?usage: imports.sh OBJDUMP TARNWICK_EXE}
allowed=" advapi32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll shell32.dll \
user32.dll comctl32.dll "

names=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | tr -d '\r')
failed=0
if [ -z "$names" ]; then
    echo "FAIL: imports: $exe has an import table"
    exit 1
fi
for dll in $names; do
    case $allowed in
        *" $dll "*) ;;
        *) echo "FAIL: imports: $(basename "$exe") imports $dll, which is searched for beside it"
           failed=1 ;;
    esac
done
[ $failed -eq 0 ] && echo "PASS: imports: $(basename "$exe") imports only known DLLs: $(echo $names)"
exit $failed
