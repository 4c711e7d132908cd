#!/bin/bash
# make run: starts Brindlecap under the build tree's Wine. On the user's
# display when there is one; otherwise on a virtual one, inside Wine's
# desktop with a taskbar and tray, with a screenshot of it a few seconds in.
# $1: the win32 build tree; the rest is Brindlecap's command line.
set -u
here=$(cd "$(dirname "$0")" && pwd)
tree=$(cd "${1:?win32 build tree}" && pwd)
shift
home="$tree/wine"
exe="$tree/bin/Brindlecap.exe"

if [ -n "${DISPLAY:-}" ]; then
    exec "$here/wine-run.sh" "$home" "$exe" "$@"
fi

. "$here/wine-env.sh" "$home"
shot="$tree/run-screenshot.png"
"$here/wine-session.sh" start "$home" || exit 1
. "$SESSION_FILE"
trap '"$here/wine-session.sh" stop "$home"' EXIT
echo "No display: Brindlecap runs on a virtual one ($DISPLAY), inside Wine's desktop."
wine explorer /desktop=shell,1024x768 "$exe" "$@" &
runner=$!
for _ in $(seq 40); do
    kill -0 "$runner" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$runner" 2>/dev/null; then
    sleep 2
    import -window root "$shot" && echo "Screenshot of the desktop: $shot"
    echo "Brindlecap keeps running; stop it with Ctrl+C."
fi
wait "$runner"
