#!/bin/bash
# The release as a user gets it. The archive: exactly the expected files,
# the product files byte for byte, read-me texts that Notepad shows, the
# same bytes from a second packing. The installer and its uninstaller: run
# silently under Wine in a fresh prefix of this test's own.
# $1: the product files (build/win32/bin); $2: a work folder.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
bin=$(cd "${1:?product files}" && pwd)
work=${2:?work folder}
rm -rf "$work"
mkdir -p "$work"
work=$(cd "$work" && pwd)
checks=0 failures=0

check() { # check WHAT COMMAND...: one assertion
    checks=$((checks + 1))
    "${@:2}" && return 0
    echo "FAILED: $1"
    failures=$((failures + 1))
    return 1
}
absent() { [ ! -e "$1" ]; }
ended() { [ ! -e "/proc/$1" ] || grep -q '^[0-9]* ([^)]*) Z' "/proc/$1/stat"; }
ends_in_crlf() { [ -s "$1" ] && ! grep -q -v $'\r$' "$1" && [ "$(tail -c 1 "$1" | od -An -tx1 | tr -d ' ')" = 0a ]; }

# What a release holds: every listed file, in the listed order.
expected=()
while read -r name; do
    case "$name" in '' | '#'*) continue ;; esac
    [ -f "$bin/$name" ] || { echo "FAILED: $name is not built"; exit 1; }
    expected+=("$name")
done <"$root/packaging/product-files.txt"

echo "== packing"
out="$work/out"
check "dist builds" "$root/scripts/dist.sh" "$bin" "$out" >/dev/null || exit 1
zip="$out/Brindlecap-1.97.zip"
setup="$out/Brindlecap-1.97-setup.exe"

echo "== the archive"
listed=$(unzip -Z1 "$zip")
check "archive lists exactly: ${expected[*]} ReadMe-ru.txt ReadMe-en.txt" \
    [ "$listed" = "$(printf '%s\n' "${expected[@]}" ReadMe-ru.txt ReadMe-en.txt)" ]
for name in "${expected[@]}"; do
    check "$name packed byte for byte" cmp -s <(unzip -p "$zip" "$name") "$bin/$name"
done
unzip -q "$zip" ReadMe-ru.txt ReadMe-en.txt -d "$work/readme"
check "Russian read-me ends every line in CR LF" ends_in_crlf "$work/readme/ReadMe-ru.txt"
check "English read-me ends every line in CR LF" ends_in_crlf "$work/readme/ReadMe-en.txt"
check "Russian read-me is the text in Windows-1251" cmp -s \
    <(tr -d '\r' <"$work/readme/ReadMe-ru.txt" | iconv -f CP1251 -t UTF-8) "$root/packaging/readme-ru.txt"
check "English read-me is plain ASCII" iconv -f ASCII -t ASCII "$work/readme/ReadMe-en.txt" -o /dev/null

# Other file times in the build tree must not reach the packages.
mkdir -p "$work/bin2"
cp "$bin"/* "$work/bin2/"
touch -d '2001-02-03 04:05:06' "$work/bin2"/*
"$root/scripts/dist.sh" "$work/bin2" "$work/out2" >/dev/null
check "a second packing gives the same archive" cmp -s "$zip" "$work/out2/Brindlecap-1.97.zip"
check "a second packing gives the same installer" cmp -s "$setup" "$work/out2/Brindlecap-1.97-setup.exe"
rm "$work/bin2/Brindlecap.exe"
check "packing refuses a release without Brindlecap.exe" \
    eval '! "$root/scripts/dist.sh" "$work/bin2" "$work/out3" >/dev/null 2>&1'

echo "== installer and uninstaller under Wine, in a fresh prefix"
home="$work/wine"
# The session gives a display and a fresh prefix; the persistent server
# then goes, so that `wineserver -w` waits for every program of the
# prefix, the uninstaller's copy of itself in the temporary folder too.
trap '"$root/scripts/wine-session.sh" stop "$home"; rm -rf "$home"' EXIT
"$root/scripts/wine-session.sh" start "$home" || { echo "FAILED: no Wine session"; exit 1; }
. "$root/scripts/wine-env.sh" "$home"
. "$SESSION_FILE"
wineserver -k
wineserver -w
drive_c="$WINEPREFIX/drive_c"

run() { # run PROGRAM ARGS...: a Windows program to its end and all it started
    wine "$@" </dev/null >/dev/null 2>&1
    local rc=$?
    timeout 120 wineserver -w || { echo "programs still run 120 s after $1"; rc=1; }
    return $rc
}
reg_has() { wine reg query "$1" /v "$2" </dev/null >/dev/null 2>&1; }
reg_value() { wine reg query "$1" /v "$2" </dev/null 2>/dev/null | tr -d '\r' | awk -v v="$2" '$1 == v {sub(/^ *[^ ]+ +[^ ]+ +/, ""); print}'; }
RUN='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
UNINSTALL='Software\Microsoft\Windows\CurrentVersion\Uninstall\Brindlecap'
start_menu() { find "$drive_c/users" -path "*/Start Menu/Programs/Brindlecap" -type d 2>/dev/null; }

installed_as_built() { # FOLDER: the files, their bytes, the uninstaller, nothing else
    local folder=$1 name
    for name in "${expected[@]}"; do
        check "installed $name is the built one" cmp -s "$folder/$name" "$bin/$name"
    done
    check "uninstaller beside them" [ -f "$folder/Uninstall.exe" ]
    check "nothing else installed" [ "$(ls "$folder" | sort)" = "$(printf '%s\n' "${expected[@]}" Uninstall.exe | sort)" ]
    local menu
    menu=$(start_menu)
    check "Start menu entry" [ -f "$menu/Brindlecap.lnk" ]
    check "Start menu entry starts the installed program" \
        grep -qaF "$(winepath -w "$folder/Brindlecap.exe" 2>/dev/null)" "$menu/Brindlecap.lnk"
    check "registered for removal" eval 'reg_has "HKLM\\$UNINSTALL" UninstallString || reg_has "HKCU\\$UNINSTALL" UninstallString'
}

uninstalled() { # FOLDER
    local folder=$1 name
    for name in "${expected[@]}" Uninstall.exe; do
        check "uninstall removes $name" absent "$folder/$name"
    done
    check "uninstall removes the Start menu entry" [ -z "$(start_menu)" ]
    check "uninstall removes the registration" eval '! reg_has "HKLM\\$UNINSTALL" UninstallString && ! reg_has "HKCU\\$UNINSTALL" UninstallString'
}

echo "-- silent, into a chosen folder"
folder="$drive_c/Brindlecap-test"
check "installer ends with 0" run "$setup" /S '/D=C:\Brindlecap-test'
installed_as_built "$folder"
check "installed program cleans 100 MB and ends with 0" run 'C:\Brindlecap-test\Brindlecap.exe' C 100
check "it keeps its settings beside itself" [ "$(stat -c %s "$folder/Brindlecap.ini" 2>/dev/null)" = 23 ]
printf '[7/12/2026 2:9] \xc7\xe0\xef\xf0\xee\xf1  48 \xcc\xe1 #MANUAL\r\n' >"$folder/Brindlecap.log"
user_files=$(cat "$folder/Brindlecap.ini" "$folder/Brindlecap.log" | sha256sum)
wine reg add "$RUN" /v Brindle /d 'C:\Brindlecap-test\Brindlecap.exe' /f </dev/null >/dev/null 2>&1
wine reg add "$RUN" /v Other /d 'C:\Other\other.exe' /f </dev/null >/dev/null 2>&1
check "uninstaller ends with 0" run 'C:\Brindlecap-test\Uninstall.exe' /S
uninstalled "$folder"
check "the autostart value of this copy goes" eval '! reg_has "$RUN" Brindle'
check "other autostart values stay" [ "$(reg_value "$RUN" Other)" = 'C:\Other\other.exe' ]
check "a silent uninstall keeps the settings and the log" \
    [ "$(cat "$folder/Brindlecap.ini" "$folder/Brindlecap.log" 2>/dev/null | sha256sum)" = "$user_files" ]

echo "-- silent, into the default folder; /PURGE"
check "installer ends with 0" run "$setup" /S
folder=$(find "$drive_c/users" -path '*/AppData/Local/Programs/Brindlecap' -type d)
check "default folder is the user's local Programs\\Brindlecap" [ -n "$folder" ] || exit 1
installed_as_built "$folder"
check "installed program cleans 100 MB and ends with 0" run "$folder/Brindlecap.exe" C 100
cp "$work/readme/ReadMe-en.txt" "$folder/Brindlecap.log"
# A resident copy is running: the uninstaller ends it, or its files stay
# and `run` times out waiting for it. Wine gives its hidden main window an
# X window of the program's name, which tells when it is there.
wine "$folder/Brindlecap.exe" S </dev/null >/dev/null 2>&1 &
resident=$!
for _ in $(seq 100); do
    xdotool search --classname '^brindlecap\.exe$' >/dev/null 2>&1 && break
    sleep 0.1
done
check "the resident copy is up" eval "xdotool search --classname '^brindlecap\.exe\$' >/dev/null"
wine reg add "$RUN" /v Brindle /d 'C:\Elsewhere\Brindlecap.exe' /f </dev/null >/dev/null 2>&1
windows_folder=$(winepath -w "$folder" 2>/dev/null)
check "uninstaller /PURGE ends with 0" run "$windows_folder\\Uninstall.exe" /S /PURGE
check "uninstall ends the running copy" ended "$resident" && wait "$resident"
uninstalled "$folder"
check "/PURGE removes the settings, the log and the folder" absent "$folder"
check "an autostart value of another copy stays" [ "$(reg_value "$RUN" Brindle)" = 'C:\Elsewhere\Brindlecap.exe' ]

echo "$((checks - failures)) passed, $failures failed"
[ "$failures" = 0 ]
