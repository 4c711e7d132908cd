#!/bin/bash
# check-pe.sh FILE...: each product file must load on every Windows of its
# architecture: a 32-bit PE with subsystem and OS version 4.0 (Windows 95
# on), or a PE32+ for x86-64 with 5.2 (64-bit XP and Server 2003 on); imports
# only from the list of functions Windows 95 exports (no C runtime DLL),
# the same list for both, since the code is the same; and no link time stamp.
set -u
here=$(cd "$(dirname "$0")" && pwd)
# Rows "DLL name..." hold for every file; rows "only FILE DLL name..." for
# that one file alone. An import by ordinal reads "#N".
list="$here/win95-imports.txt"
# Rows "x64 DLL name..." hold for 64-bit files alone.
allowed_for() { # FILE MACHINE
    grep -v '^#' "$list" | awk -v file="$1" -v machine="$2" '
        $1 == "only" { if ($2 == file) for (i = 4; i <= NF; i++) print $3 " " $i; next }
        $1 == "x64" { if (machine == "8664") for (i = 3; i <= NF; i++) print $2 " " $i; next }
        NF { for (i = 2; i <= NF; i++) print $1 " " $i }'
}
failed=0 checked=0
for f in "$@"; do
    # The machine field of the file header chooses the rules.
    header=$(od -An -tu4 -j60 -N4 "$f" 2>/dev/null | tr -d ' ')
    machine=$(od -An -tx2 -j$((${header:-0} + 4)) -N2 "$f" 2>/dev/null | tr -d ' ')
    case "$machine" in
    014c) objdump=i686-w64-mingw32-objdump format=pei-i386 major=4 minor=0 ;;
    8664) objdump=x86_64-w64-mingw32-objdump format=pei-x86-64 major=5 minor=2 ;;
    *) echo "FAIL $f: not a PE file for i386 or x86-64"; failed=1; continue ;;
    esac
    dump=$($objdump -p "$f") || { echo "FAIL $f: not readable"; failed=1; continue; }
    checked=$((checked + 1))
    allowed=$(allowed_for "$(basename "$f")" "$machine")
    grep -q "file format $format\$" <<<"$($objdump -f "$f")" || { echo "FAIL $f: not a $format file"; failed=1; }
    for field in MajorSubsystemVersion MajorOSystemVersion; do
        v=$(awk -v k="$field" '$1 == k {print $2}' <<<"$dump")
        [ "$v" = $major ] || { echo "FAIL $f: $field is $v, not $major"; failed=1; }
    done
    for field in MinorSubsystemVersion MinorOSystemVersion; do
        v=$(awk -v k="$field" '$1 == k {print $2}' <<<"$dump")
        [ "$v" = $minor ] || { echo "FAIL $f: $field is $v, not $minor"; failed=1; }
    done
    # A manifest that names another processor stops the program on Windows
    # ("side-by-side configuration is incorrect").
    case "$machine" in 014c) arch=x86 ;; *) arch=amd64 ;; esac
    if grep -aq '<assembly ' "$f" && grep -ao 'processorArchitecture="[^"]*"' "$f" | grep -vqx "processorArchitecture=\"$arch\""; then
        echo "FAIL $f: its manifest names another processor than $arch"; failed=1
    fi
    # Without a requested level Windows virtualises the program's registry
    # and file writes; the trustInfo element in the asm.v2 form, which is the
    # one Windows XP SP2 reads.
    if grep -aq '<assembly ' "$f" &&
        ! { grep -aq '<trustInfo xmlns="urn:schemas-microsoft-com:asm.v2">' "$f" &&
            grep -aq '<requestedExecutionLevel level="asInvoker"' "$f"; }; then
        echo "FAIL $f: its manifest does not ask for asInvoker in the asm.v2 form"; failed=1
    fi
    # A link time stamp would make two builds of one tree differ.
    stamp=$(od -An -tu4 -j$((header + 8)) -N4 "$f" | tr -d ' ')
    [ "$stamp" = 0 ] || { echo "FAIL $f: linked with a time stamp"; failed=1; }
    # No C runtime starts these files, so nothing may wait for one to run
    # static constructors or thread-local set-up.
    for section in $($objdump -h "$f" | awk '$1 ~ /^[0-9]+$/ {print $2}'); do
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
    # A 32-bit file runs on the 486 and the Pentium as well: the first
    # instruction of a later processor ends the program there. Named are the
    # Pentium Pro's (cmov, fcmov, fcomi, the long nop), the Pentium's
    # (cmpxchg8b, rdtsc, the model registers), cpuid, which early 486s lack,
    # and every MMX, 3DNow! and SSE instruction (their registers, or fences
    # and prefetches, which name none).
    if [ "$machine" = 014c ]; then
        later=$($objdump -d --no-show-raw-insn "$f" | awk -F'\t' 'NF >= 2 {
            text = $2; sub(/^ +/, "", text); address = $1; gsub(/[ :]/, "", address)
            if (text ~ /^(lock |rep[a-z]* )?(cmov|fcmov|fu?comip?( |$)|cmpxchg8b|rdtsc|rdpmc|rdmsr|wrmsr|cpuid|sysenter|sysexit|fxsave|fxrstor|emms|femms|nop[lwq]|prefetch|[lsm]fence|movnti|clflush|ldmxcsr|stmxcsr)/ ||
                text ~ /%x?mm[0-9]/) print address ": " text }')
        if [ -n "$later" ]; then
            echo "FAIL $f: holds $(wc -l <<<"$later") instruction(s) the i486 lacks, the first at ${later%%$'\n'*}"
            failed=1
        fi
    fi
    echo "$f: $(wc -l <<<"$imports") imports checked"
done
[ "$checked" -gt 0 ] || { echo "FAIL: no file given"; exit 1; }
exit $failed
