#!/bin/bash
# relay_trace.sh HOME PROGRAM98: opens the system resources module once (one
# refresh) in Windows 98 mode under Wine's relay trace and checks that the
# module itself reached the 16-bit USER's GetFreeSystemResources through
# QT_Thunk: user.exe loaded, the function called with kinds 1, 0 and 2 in
# that order, user.exe released, three times; and that each figure shown is
# the 16-bit result or, where Wine drops it on the way back, 0.
set -u
here=$(cd "$(dirname "$0")" && pwd)
home=${1:?wine home folder}
program=${2:?test program in Windows 98 mode}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

BRINDLECAP_WINEDEBUG=+relay "$here/../../scripts/wine-run.sh" "$home" "$program" PoolgaugeOneRefresh \
    2>&1 >"$out/stdout" | grep -E 'QT_Thunk|LoadLibrary16|FreeLibrary16|GETFREESYSTEMRESOURCES' >"$out/trace"
rc=${PIPESTATUS[0]}
tr -d "\r" <"$out/stdout" >"$out/shown" && cat "$out/shown"
[ "$rc" = 77 ] && exit 77 # no 32-bit programs here
[ "$rc" = 0 ] || { echo "FAIL: the case failed ($rc)"; exit 1; }

# Our module's calls return into its own image: the 64 KB-aligned base that
# its QT_Thunk lookup returns to. Wine's own loads of user.exe come from
# elsewhere.
base=$(sed -n 's/.*GetProcAddress(.*"QT_Thunk") ret=\([0-9a-f]\{4\}\).*/\1/p' "$out/trace" | head -n1)
[ -n "$base" ] || { echo "FAIL: no QT_Thunk lookup in the trace"; exit 1; }
events=$(awk -v base="$base" '
    /Call krnl386.exe16.LoadLibrary16\(.*"user.exe"\) ret=/ && index($NF, "ret=" base) == 1 { printf "load " }
    /Call krnl386.exe16.FreeLibrary16\(/ && index($NF, "ret=" base) == 1 { printf "free " }
    /Call USER.284: GETFREESYSTEMRESOURCES\(/ { match($0, /\(([0-9a-f]+)\)/); printf "call%s ", substr($0, RSTART + 1, RLENGTH - 2) }
    /Ret  USER.284: GETFREESYSTEMRESOURCES\(\)/ { match($0, /retval=[0-9a-f]+/); printf "%s ", substr($0, RSTART, RLENGTH) }
    ' "$out/trace")
echo "trace: $events"
shape=$(sed 's/retval=[0-9a-f]* /ret /g' <<<"$events")
expected="load call0001 ret free load call0000 ret free load call0002 ret free "
[ "$shape" = "$expected" ] || { echo "FAIL: expected \"$expected\""; exit 1; }

# The figures shown against the results the 16-bit function returned.
read -r -a results <<<"$(grep -o 'retval=[0-9a-f]*' <<<"$events" | sed 's/retval=//' | tr '\n' ' ')"
read -r gdi system user < <(sed -n 's/^shown: gdi=\([0-9]*\) system=\([0-9]*\) user=\([0-9]*\)$/\1 \2 \3/p' "$out/shown")
[ -n "${user:-}" ] || { echo "FAIL: no figures shown"; exit 1; }
lost=0
i=0
for shown in "$gdi" "$system" "$user"; do
    real=$((16#${results[$i]} & 0xFF))
    [ "$real" -le 100 ] || { echo "FAIL: result $real above 100"; exit 1; }
    if [ "$shown" != "$real" ]; then
        [ "$shown" = 0 ] || { echo "FAIL: shown $shown, returned $real"; exit 1; }
        lost=$((lost + 1))
    fi
    i=$((i + 1))
done
[ "$lost" = 0 ] || echo "note: the 16-bit function returned ${results[*]}; Wine dropped $lost of the results on the way back (shown $gdi $system $user)"
exit 0
