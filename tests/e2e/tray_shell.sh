#!/bin/bash
# The e2e driver inside a Wine desktop with a shell of its own (taskbar and
# notification area, the desktop named "shell"): that tray keeps whatever a
# program handed it until the program deletes it, as Windows' does, so a
# case can see an icon left behind. Wine's tray on the bare X display drops
# a program's icons with its windows and would hide the fault.
# Usage: tray_shell.sh WINE-HOME e2etests.exe Brindlecap.exe FILTER
set -u
here=$(cd "$(dirname "$0")" && pwd)
z() { echo "Z:$(tr / '\\' <<<"$1")"; }
out=$(mktemp)
trap 'rm -f "$out"' EXIT
# explorer gives back no exit code of the driver: its summary line does.
BRINDLECAP_TRAY_SHELL=1 "$here/../../scripts/wine-run.sh" "$1" explorer /desktop=shell,800x600 \
    "$(z "$2")" "$3" "$4" >"$out"
rc=$?
cat "$out"
[ $rc = 77 ] && exit 77
grep -Eq '^[1-9][0-9]* passed, 0 failed' "$out"
