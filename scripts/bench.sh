#!/bin/bash
# make bench: the benchmark table of one build tree ($1: build/win32 or build/win64).
set -u
tree=${1:?build tree}
here=$(cd "$(dirname "$0")" && pwd)
tree=$(cd "$tree" && pwd)
echo "#### the $(cat "$tree/wine/arch") build ($tree)"
echo "== cleaning throughput under Wine"
"$here/wine-run.sh" "$tree/wine" "$tree/bench/clean_bench.exe" || exit 1
echo
echo "== start-up module scan under Wine against a bare walk of the same tree"
"$here/wine-run.sh" "$tree/wine" "$tree/bench/scan_bench.exe" "Z:$(tr / '\\\\' <<<"$tree/bin")" || exit 1
echo
echo "== the resident host's one-second tick under Wine (icon modes 1, 2 and 4), against a bare loop"
"$here/wine-run.sh" "$tree/wine" "$tree/bench/tray_bench.exe" "$tree/bin/Brindlecap.exe" \
    "$tree/bench/tray_bare.exe" 60 || exit 1
echo
echo "== the host's start-up and dialogs under Wine"
"$here/wine-run.sh" "$tree/wine" "$tree/bench/ui_bench.exe" "$tree/bin/Brindlecap.exe" \
    "$tree/bench/empty_window.exe" || exit 1
echo
echo "== process list against bare Tool Help walks under Wine"
"$here/wine-run.sh" "$tree/wine" "$tree/bench/taskroll_bench.exe" || exit 1
echo
echo "== stripped size of the product files (goal: all together within 100 KB)"
total=0
for f in "$tree"/bin/*.exe "$tree"/bin/*.dll; do
    [ -f "$f" ] || continue
    size=$(stat -c %s "$f")
    total=$((total + size))
    printf '%-34s %8d bytes\n' "$(basename "$f")" "$size"
done
printf '%-34s %8d bytes (%d KB of 100 KB)\n' "all product files" "$total" $(((total + 1023) / 1024))
