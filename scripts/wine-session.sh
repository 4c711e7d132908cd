#!/bin/bash
# wine-session.sh start|stop HOME
# start: makes the prefix once (of the tree's architecture), provides a display (Xvfb when none is set)
#        and a persistent wineserver, so that each run then costs little.
# stop:  ends the wineserver and the Xvfb that start began.
# Exit code 77: a 32-bit tree on a machine that runs no 32-bit programs.
set -u
here=$(cd "$(dirname "$0")" && pwd)
action=${1:?start or stop}
. "$here/wine-env.sh" "${2:?wine home folder}"
mkdir -p "$WINE_HOME"

make_prefix() {
    [ -f "$WINEPREFIX/.brindlecap-ready" ] && return 0
    rm -rf "$WINEPREFIX"
    wineboot --init >"$WINE_HOME/wineboot.log" 2>&1
    wineserver -w
    # A crash ends the program instead of opening a dialog; named copies of
    # the programs run in Windows 98 mode for the 9x paths.
    cat >"$WINE_HOME/setup.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\AppDefaults\brindlecap98.exe]
"Version"="win98"

[HKEY_CURRENT_USER\Software\Wine\AppDefaults\win32tests98.exe]
"Version"="win98"
REG
    wine regedit /S "$(winepath -w "$WINE_HOME/setup.reg" 2>/dev/null)" >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.brindlecap-ready"
}

start_display() {
    # Xvfb picks a free display and writes its number to fd 3.
    local fifo="$WINE_HOME/displayfd"
    rm -f "$fifo"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo.out" </dev/null >/dev/null 2>&1 9>&- &
    XVFB_PID=$!
    for _ in $(seq 100); do
        [ -s "$fifo.out" ] && break
        sleep 0.05
    done
    DISPLAY=":$(head -n1 "$fifo.out")"
    rm -f "$fifo.out"
    export DISPLAY
}

case "$action" in
start)
    if [ "$WINE_ARCH" = win32 ] && ! "$here/can-run-32bit.sh"; then
        echo "this machine runs no 32-bit programs: no 32-bit Wine session"
        exit 77
    fi
    exec 9>"$WINE_HOME/lock"
    flock 9
    if [ -f "$SESSION_FILE" ]; then
        . "$SESSION_FILE"
        if kill -0 "${XVFB_PID:-0}" 2>/dev/null || [ -z "${XVFB_PID:-}" ]; then
            exit 0
        fi
    fi
    XVFB_PID=
    if [ -z "${DISPLAY:-}" ]; then
        start_display
    fi
    make_prefix
    wineserver -p >/dev/null 2>&1 9>&-
    # Bring up Wine's own service processes now, detached from any caller's
    # output: started by a test, they would hold its pipes open after it.
    wineboot </dev/null >/dev/null 2>&1 9>&-
    # On a display of our own no window manager runs, and Wine waits two
    # seconds at each hiding of a window it leaves to one, for an answer
    # that never comes: there it manages its windows itself. On the user's
    # display its window manager does.
    key='HKCU\Software\Wine\X11 Driver'
    if [ -n "$XVFB_PID" ]; then
        wine reg add "$key" /v Managed /d N /f </dev/null >/dev/null 2>&1 9>&-
    else
        wine reg delete "$key" /v Managed /f </dev/null >/dev/null 2>&1 9>&-
    fi
    printf 'export DISPLAY=%q\nXVFB_PID=%s\n' "$DISPLAY" "$XVFB_PID" >"$SESSION_FILE"
    ;;
stop)
    if [ -f "$SESSION_FILE" ]; then
        . "$SESSION_FILE"
        wineserver -k >/dev/null 2>&1
        wineserver -w >/dev/null 2>&1
        [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
        rm -f "$SESSION_FILE"
    fi
    ;;
*)
    echo "usage: $0 start|stop HOME" >&2
    exit 2
    ;;
esac
exit 0
