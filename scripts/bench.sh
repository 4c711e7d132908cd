#!/bin/bash
# make bench: the benchmark table. $1: the win32 build tree.
set -u
tree=${1:?win32 build tree}
here=$(cd "$(dirname "$0")" && pwd)
tree=$(cd "$tree" && pwd)
echo "== cleaning throughput under Wine"
"$here/wine-run.sh" "$tree/wine" "$tree/bench/clean_bench.exe" || exit 1
echo
echo "== process list against bare Tool Help walks under Wine"
"$here/wine-run.sh" "$tree/wine" "$tree/bench/taskroll_bench.exe" || exit 1
echo
echo "== stripped size of the product files (goal: all together within 150 KB)"
total=0
for f in "$tree"/bin/*.exe "$tree"/bin/*.dll; do
    [ -f "$f" ] || continue
    size=$(stat -c %s "$f")
    total=$((total + size))
    printf '%-34s %8d bytes\n' "$(basename "$f")" "$size"
done
printf '%-34s %8d bytes (%d KB of 150 KB)\n' "all product files" "$total" $(((total + 1023) / 1024))
