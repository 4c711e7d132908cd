#!/bin/bash
# The e2e driver with a /proc/meminfo of ours, 40 MB free (Wine takes the
# total from the system, the free amount from this file), bound over
# the real one in a private mount namespace that Wine's processes (the
# driver and the Brindlecap.exe it starts) inherit. Needs root, as CI has.
# Usage: low_memory.sh WINE-HOME e2etests.exe Brindlecap.exe
set -u
here=$(cd "$(dirname "$0")" && pwd)
if [ "$(id -u)" != 0 ]; then
    echo "a private mount needs root: skipped"
    exit 77
fi
fake=$(mktemp)
trap 'rm -f "$fake"' EXIT
cat >"$fake" <<'MEMINFO'
MemTotal:        1048576 kB
MemFree:           40960 kB
MemAvailable:      40960 kB
Buffers:               0 kB
Cached:                0 kB
SwapCached:            0 kB
SwapTotal:             0 kB
SwapFree:              0 kB
MEMINFO
export BRINDLECAP_LOW_MEMORY=1
unshare -m bash -c 'mount --bind "$0" /proc/meminfo && exec "$1" "$2" "$3" "$4" LowMemory' \
    "$fake" "$here/../../scripts/wine-run.sh" "$1" "$2" "$3"
