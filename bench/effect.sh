#!/bin/bash
# make effect: what a cleaning frees and what it costs. Brindlecap runs under
# Wine inside a memory cgroup limited like a small machine (2 GiB, no swap
# here), beside a program whose file of a few hundred MB sits in the cache.
# Each amount starts from the same state: the cache filled up to the limit
# by other reading, then the program's file read twice so that it is warm.
# Figures come from the cgroup itself: Wine reports the host's totals.
# $1: the win32 build tree. Needs root (cgroup v1 memory controller).
set -u
tree=$(cd "${1:?win32 build tree}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
limit_mb=${EFFECT_LIMIT_MB:-2048}
file_mb=${EFFECT_FILE_MB:-300}
amounts=${EFFECT_AMOUNTS:-0 128 256 512 768 1024 2048}
repeat=${EFFECT_REPEAT:-3}
controller=/sys/fs/cgroup/memory
cgroup=$controller/brindlecap-effect-$$
work=$tree/effect
home=$work/wine
exe=$tree/bin/Brindlecap.exe

[ "$(id -u)" = 0 ] || { echo "make effect: needs root, for a memory cgroup" >&2; exit 1; }
[ -w "$controller/cgroup.procs" ] || { echo "make effect: no writable cgroup v1 memory controller at $controller" >&2; exit 1; }

cleanup() {
    "$root/scripts/wine-session.sh" stop "$home" >/dev/null 2>&1
    echo $$ >"$controller/cgroup.procs"
    # Whatever still runs in the group is ours.
    for pid in $(cat "$cgroup/cgroup.procs" 2>/dev/null); do kill "$pid" 2>/dev/null; done
    for _ in $(seq 50); do [ -s "$cgroup/cgroup.procs" ] || break; sleep 0.1; done
    rmdir "$cgroup" 2>/dev/null
    rm -f "$work/program.dat" "$work/other.dat"
}
trap cleanup EXIT

mkdir -p "$work" "$cgroup"
echo $((limit_mb << 20)) >"$cgroup/memory.limit_in_bytes"
[ -f "$cgroup/memory.memsw.limit_in_bytes" ] && echo $((limit_mb << 20)) >"$cgroup/memory.memsw.limit_in_bytes"
echo $$ >"$cgroup/cgroup.procs"

now() { date +%s.%N; }
seconds() { LC_ALL=C awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f\n", b - a}'; }
mb() { echo $(($1 >> 20)); }
stat_of() { awk -v k="$1" '$1 == k {print $2}' "$cgroup/memory.stat"; }
free_mb() { mb $(((limit_mb << 20) - $(cat "$cgroup/memory.usage_in_bytes"))); }
cache_mb() { mb "$(stat_of cache)"; }
cached_mb() { mb "$(fincore -b -n -o RES "$1")"; }
uncache() { dd if="$1" iflag=nocache count=0 status=none; }
read_all() { dd if="$1" of=/dev/null bs=1M status=none; }
timed_read() {
    local t0
    t0=$(now)
    read_all "$1"
    seconds "$t0" "$(now)"
}

# Made and read inside the group, so that their cache is charged to it.
echo "preparing: a ${file_mb} MB file of the program, ${limit_mb} MB of other files, Wine"
dd if=/dev/urandom of="$work/program.dat" bs=1M count="$file_mb" status=none
dd if=/dev/urandom of="$work/other.dat" bs=1M count="$limit_mb" status=none
sync
uncache "$work/program.dat"
uncache "$work/other.dat"
"$root/scripts/wine-session.sh" start "$home" || exit 1
. "$root/scripts/wine-env.sh" "$home"
. "$SESSION_FILE"

clean() {
    local t0 rc
    t0=$(now)
    wine "$exe" C "$1" </dev/null >/dev/null 2>&1
    rc=$?
    [ $rc = 0 ] || echo "Brindlecap.exe C $1 ended with $rc" >&2
    seconds "$t0" "$(now)"
}

median() { # COLUMN of the lines on stdin
    awk -v c="$1" '{print $c}' | LC_ALL=C sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'
}
measure() { # measure SCENARIO: one row per amount, each from the same state
    local n rows c
    for n in $amounts; do
        rows=$(for _ in $(seq "$repeat"); do
            uncache "$work/program.dat"
            uncache "$work/other.dat"
            "$1"
            local free0 cache0 file0 run
            free0=$(free_mb) cache0=$(cache_mb) file0=$(cached_mb "$work/program.dat")
            run=$(clean "$n")
            echo "$free0 $(free_mb) $cache0 $(cache_mb) $file0 $(cached_mb "$work/program.dat") $run $(timed_read "$work/program.dat")"
        done)
        printf '| %d MB |' "$n"
        for c in 1 2 3 4 5 6; do printf ' %d MB |' "$(median $c <<<"$rows")"; done
        printf ' %s s | %s s |\n' "$(median 7 <<<"$rows")" "$(median 8 <<<"$rows")"
    done
}
header() {
    printf '\n%s\n\n' "$1"
    printf '| Brindlecap.exe C N | free before | free after | file cache before | file cache after | the file cached before | the file cached after | run time | next read of the file |\n'
    printf '|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n'
}
# The program has just used its file: other reading filled the cache first.
just_used() {
    read_all "$work/other.dat"
    read_all "$work/program.dat"
    read_all "$work/program.dat"
}
# The program used its file before other reading filled the cache.
used_before() {
    read_all "$work/program.dat"
    dd if="$work/other.dat" of=/dev/null bs=1M count="$other_before_mb" status=none
}

cold=$(for _ in $(seq "$repeat"); do uncache "$work/program.dat"; timed_read "$work/program.dat"; done | median 1)
just_used
warm=$(for _ in $(seq "$repeat"); do timed_read "$work/program.dat"; done | median 1)
# Room for the group's own programs: what it holds beyond the file cache.
programs_mb=$(mb $(($(cat "$cgroup/memory.usage_in_bytes") - $(stat_of cache))))
other_before_mb=$((limit_mb - file_mb - programs_mb - 64))

printf '\nWhat a cleaning does under Wine in a %d MB memory cgroup (no swap);\n' "$limit_mb"
printf 'the file of the program is %d MB; a full read of it takes %s s from the disk\n' "$file_mb" "$cold"
printf 'and %s s from the cache.\n' "$warm"
header "The program has just read its file (twice, after other files filled the cache):"
measure just_used
header "The program read its file once, then ${other_before_mb} MB of other files were read:"
measure used_before
printf '\nEach figure is the median of %d rounds. Free = the limit minus what the group uses,\n' "$repeat"
printf 'file cache included. Run time is the whole run of Brindlecap.exe under Wine; the C 0\n'
printf 'row is its start-up alone. One run holds at most 1024 MB, so C 2048 cleans as much as\n'
printf 'C 1024.\n'
