#!/bin/bash
# make screenshots: opens each host dialog and the tray menu of the built
# Brindlecap.exe under Wine, on a virtual display inside Wine's desktop with
# its shell (frames, taskbar, tray), and saves them into docs/screenshots/:
# once at 96 DPI (NAME.png) and once at 144 DPI (NAME-144dpi.png), the
# display's DPI set by LogPixels under HKCU\Control Panel\Desktop; each on
# an English system (code page 1252) and, in docs/screenshots/ru/, on a
# Russian one (1251); for German, French, Spanish and Ukrainian (de, fr, es,
# uk) the main dialog and the settings module, at 96 DPI, in their folders.
# $1: the build tree; $2: the DPI passes, "96 144" unless given; $3: the
# languages, "en ru de fr es uk" unless given.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
tree=$(cd "${1:?win32 build tree}" && pwd)
screenshots="$here/../docs/screenshots"
home="$tree/wine"
poke="$tree/tests/e2e/poke.exe"

passes=${2:-96 144}
# Each pass's session makes its own display unless the caller gave one.
given_display=${DISPLAY-}
. "$here/wine-env.sh" "$home"
work=$(mktemp -d)
# Stopping the session ends every program it still runs; the prefix goes
# back to 96 DPI, which the tests' pixel checks expect.
finish() {
    if [ -f "$SESSION_FILE" ]; then
        wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
        "$here/wine-session.sh" stop "$home"
    fi
    rm -rf "$work"
}
trap finish EXIT
cp "$tree/bin/Brindlecap.exe" "$work/"
exe="$work/Brindlecap.exe"
suffix=

poke() { wine "$poke" "$@" 2>/dev/null | tr -d '\r'; }

# A cut of the screen around x y w h, with a margin; the rest stays out so
# that each picture is small.
shot() {
    local name=$1 x=$2 y=$3 w=$4 h=$5 m=8
    # Whatever the dialog draws after it shows has then been drawn.
    poke main 0 0 0 >/dev/null
    sleep 1
    # The frame's right edge lies a little beyond the window's rectangle.
    import -window root -crop "$((w + 2 * m + 4))x$((h + 2 * m))+$((x - m))+$((y - m))" +repage \
        -colors 32 "png8:$out/$name$suffix.png"
    echo "$out/$name$suffix.png"
}

dialog() { # NAME ITEM: the dialog that has control ITEM
    local x y w h
    # A desktop that is still starting may take longer than one wait.
    for _ in 1 2 3; do
        read -r x y w h < <(poke rect "$2") && break
    done
    shot "$1" "$x" "$y" "$w" "$h"
}

one_pass() {
    # The 23-byte settings with "Мониторинг" on, so that the information dialog
    # opens live; everything else as a first start has it.
    printf '\x1e\x00\x30\x00\x2d\x5f\x19\x50\x01\x00\x01\x00\x00\x00\x00\xf4\x01\x01\x00\x00\x00\x00\x00' \
        >"$work/Brindlecap.ini"

    quit() { # ends the tray copy through its menu command and waits for it
        poke main 0x111 201 0
        for _ in $(seq 100); do
            pgrep -f "$(basename "$work")" >/dev/null || break
            sleep 0.1
        done
    }

    # Each module alone beside the program, so that it takes slot 0: its menu
    # command is 0. ITEM tells its dialog; CLOSE is its exit button; a
    # command given after them runs before the picture is taken.
    module() { # FILE NAME ITEM CLOSE [COMMAND...]
        cp "$tree/bin/$1" "$work/"
        wine explorer /desktop=shell,1024x768 "$exe" >/dev/null 2>&1 &
        poke main 0 0 0
        poke main 0x111 0 0 && { [ $# -le 4 ] || "${@:5}"; } && dialog "$2" "$3" &&
            poke dialog "$3" 0x111 "$4"
        quit
        rm -f "$work/$1"
    }
    # The tray mode, its dialogs one after the other, and the menu.
    wine explorer /desktop=shell,1024x768 "$exe" >/dev/null 2>&1 &
    poke main 0 0 0 # waits for the main window
    poke main 0x312 400 0 && dialog main-dialog 603 && poke dialog 603 0x111 604
    if [ -n "$few" ]; then
        quit
        module Setup.dll settings-module 305 100
        return
    fi
    poke main 0x312 402 0 && dialog info-dialog 103 && poke dialog 103 0x111 600
    poke main 0x111 200 0 && dialog about-dialog 601 && poke dialog 601 0x111 600
    xdotool mousemove 900 700
    poke main 0x8001 0 0x204
    read -r x y w h < <(poke menurect)
    shot tray-menu "$x" "$y" "$((1024 - x))" "$((768 - y - 8))"
    poke menukey 0x1B
    # "Clean 25%" from the menu, then what it says in its balloon.
    poke main 0x111 204 0
    sleep 4
    shot tray-balloon 496 560 520 200
    quit

    # The process list shows the host's own row chosen: its details, threads
    # and modules, as a user who picks a process sees them.
    module Taskroll.dll process-list 502 502 poke select 502 300 Brindlecap.exe
    module Setup.dll settings-module 305 100

    # A cleaning from the command line with its progress dialog.
    wine explorer /desktop=shell,1024x768 "$exe" C 100 D >/dev/null 2>&1 &
    dialog memory-dialog 1011
    poke dialog 1011 0x111 600
}

for language in ${3:-en ru de fr es uk}; do
few=
case $language in
en) out=$screenshots; export LC_ALL=C.UTF-8 ;;
ru) out=$screenshots/ru; export LC_ALL=ru_RU.UTF-8 ;;
de | fr | es | uk) out=$screenshots/$language few=1
   export LC_ALL=${language}_$(echo "$language" | sed 's/uk/ua/' | tr a-z A-Z).UTF-8 ;;
*) echo "screenshots: no language $language" >&2; exit 2 ;;
esac
export LANG=$LC_ALL
mkdir -p "$out"
for dpi in $passes; do
    [ -z "$few" ] || [ "$dpi" = 96 ] || continue
    suffix=$([ "$dpi" = 96 ] || echo "-${dpi}dpi")
    # A session of its own for each DPI: programs read it when they start.
    if [ -n "$given_display" ]; then export DISPLAY=$given_display; else unset DISPLAY; fi
    "$here/wine-session.sh" start "$home"
    . "$SESSION_FILE"
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    one_pass
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
    "$here/wine-session.sh" stop "$home"
done
done
