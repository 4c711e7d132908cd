#!/bin/bash
# test-tiers.sh BUILD: runs every tier of built trees and ends with a line
# per tier, what ran and what was skipped and why, then the total.
# The two Wine tiers run side by side: each tree has its own prefix,
# wineserver and display, and they mostly wait on Wine, not on the
# processors. Each tier's output is shown whole once it ends.
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=${1:?build folder}
logs=$build/logs
mkdir -p "$logs"

# tier NAME TREE JOBS: ctest in TREE, its output into logs/NAME.log.
tier() {
    (cd "$build/$2" && ctest --output-on-failure --no-tests=error -j"$3") >"$logs/$1.log" 2>&1
    echo $? >"$logs/$1.rc"
}

rm -f "$logs"/*.log "$logs"/*.rc
started=$(date +%s)
tier win64 win64 1 &
tier win32 win32 1 &
# The native tiers take seconds and their processors: beside the Wine ones.
tier native native 2
tier tsan tsan 2
wait

# counts LOG: "P passed, F failed, S skipped" of ctest's entry lines.
counts() {
    local passed failed skipped
    passed=$(grep -cE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed +[0-9.]+ sec' "$1")
    skipped=$(grep -cE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .*\*\*\*Skipped' "$1")
    failed=$(grep -cE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .*(\*\*\*Failed|\*\*\*Timeout|\*\*\*Exception|\*\*\*Not Run|Not Run)' "$1")
    echo "$passed $failed $skipped"
}

rc=0
total_passed=0 total_failed=0 total_skipped=0
summary=()
for t in native tsan win64 win32; do
    echo "==== tier $t ($build/$t)"
    cat "$logs/$t.log"
    read -r p f s < <(counts "$logs/$t.log")
    code=$(cat "$logs/$t.rc" 2>/dev/null || echo 1)
    if [ "$code" != 0 ] && [ "$f" = 0 ]; then
        f=1 # ctest itself failed (no tests, a build error)
    fi
    [ "$code" = 0 ] || rc=1
    total_passed=$((total_passed + p)) total_failed=$((total_failed + f)) total_skipped=$((total_skipped + s))
    case $t in
    native) line="native, ASan and UBSan (unit, fuzz): $p passed, $f failed" ;;
    tsan) line="native, ThreadSanitizer: $p passed, $f failed" ;;
    win64) line="Wine 64-bit, NT and Windows 98 mode: $p passed, $f failed" ;;
    win32) line="Wine 32-bit, NT and Windows 98 mode: $p passed, $f failed" ;;
    esac
    [ "$s" = 0 ] || line="$line, $s skipped"
    summary+=("$line")
done

echo "==== make test: the tiers, in $(($(date +%s) - started)) s of testing"
printf '%s\n' "${summary[@]}"
if ! "$here/can-run-32bit.sh"; then
    echo "skipped: the 32-bit tree's Wine entries and the installer's trial, since this machine" \
        "runs no 32-bit programs (wine32 fails, or BRINDLECAP_NO_32BIT is set); the 64-bit tier" \
        "ran its Win32 units in NT and Windows 98 mode and every end-to-end case but Poolgauge's"
fi
if [ "$(id -u)" != 0 ]; then
    echo "skipped: the low-memory case, which needs root for a private mount namespace"
fi
echo "tests: $total_passed passed, $total_failed failed, $total_skipped skipped"
exit $rc
