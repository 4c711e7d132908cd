#!/bin/bash
# check-pe.sh FILE...: each product file must load on every 32-bit Windows
# from 95 on: a 32-bit PE with subsystem and OS version 4.0, and imports
# only from the list of functions Windows 95 exports (no C runtime DLL),
# and no link time stamp.
set -u
here=$(cd "$(dirname "$0")" && pwd)
# Rows "DLL name..." hold for every file; rows "only FILE DLL name..." for
# that one file alone. An import by ordinal reads "#N".
list="$here/win95-imports.txt"
allowed_for() {
    grep -v '^#' "$list" | awk -v file="$1" '
        $1 == "only" { if ($2 == file) for (i = 4; i <= NF; i++) print $3 " " $i; next }
        NF { for (i = 2; i <= NF; i++) print $1 " " $i }'
}
failed=0 checked=0
for f in "$@"; do
    dump=$(i686-w64-mingw32-objdump -p "$f") || { echo "FAIL $f: not readable"; failed=1; continue; }
    checked=$((checked + 1))
    allowed=$(allowed_for "$(basename "$f")")
    grep -q 'file format pei-i386' <<<"$(i686-w64-mingw32-objdump -f "$f")" || { echo "FAIL $f: not a 32-bit PE"; failed=1; }
    for field in MajorSubsystemVersion MajorOSystemVersion; do
        v=$(awk -v k="$field" '$1 == k {print $2}' <<<"$dump")
        [ "$v" = 4 ] || { echo "FAIL $f: $field is $v, not 4"; failed=1; }
    done
    for field in MinorSubsystemVersion MinorOSystemVersion; do
        v=$(awk -v k="$field" '$1 == k {print $2}' <<<"$dump")
        [ "$v" = 0 ] || { echo "FAIL $f: $field is $v, not 0"; failed=1; }
    done
    # A link time stamp would make two builds of one tree differ.
    header=$(od -An -tu4 -j60 -N4 "$f" | tr -d ' ')
    stamp=$(od -An -tu4 -j$((header + 8)) -N4 "$f" | tr -d ' ')
    [ "$stamp" = 0 ] || { echo "FAIL $f: linked with a time stamp"; failed=1; }
    # No C runtime starts these files, so nothing may wait for one to run
    # static constructors or thread-local set-up.
    for section in $(i686-w64-mingw32-objdump -h "$f" | awk '$1 ~ /^[0-9]+$/ {print $2}'); do
        case "$section" in
        .ctors* | .dtors* | .CRT* | .tls*) echo "FAIL $f: section $section needs a C runtime"; failed=1 ;;
        esac
    done
    # "DLL Name: X" opens each import table; its rows end with the function
    # name, or with "<none>" after the ordinal of an import by number.
    imports=$(awk '/DLL Name:/ {dll = $3; next}
        dll && /^\t[0-9a-f]+\t +[0-9]+ +[^ ]/ {print dll " " ($3 == "<none>" ? "#" $2 : $3)}
        /^$/ {dll = ""}' <<<"$dump")
    [ -n "$imports" ] || { echo "FAIL $f: no imports read"; failed=1; }
    while read -r line; do
        [ -z "$line" ] && continue
        grep -qxF "$line" <<<"$allowed" || { echo "FAIL $f: imports $line"; failed=1; }
    done <<<"$imports"
    echo "$f: $(wc -l <<<"$imports") imports checked"
done
[ "$checked" -gt 0 ] || { echo "FAIL: no file given"; exit 1; }
exit $failed
