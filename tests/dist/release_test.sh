#!/bin/bash
# The release as a user gets it. The archives, 32- and 64-bit: exactly the
# expected files, the product files byte for byte, the help page, read-me
# texts that Notepad shows, the same bytes from a second packing. The installer and its
# uninstaller, where this machine runs 32-bit programs (the installer is
# one): run silently under Wine in fresh prefixes of this test's own, a
# 32-bit one for its 32-bit branch and a 64-bit one for its 64-bit branch.
# $1: the 32-bit product files (build/win32/bin); $2: the 64-bit ones
# (build/win64/bin); $3: a work folder.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
bin=$(cd "${1:?32-bit product files}" && pwd)
bin64=$(cd "${2:?64-bit product files}" && pwd)
work=${3:?work folder}
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

# listed LIST BIN: the names a release holds, in the listed order; every one built.
listed() {
    local name
    while read -r name; do
        case "$name" in '' | '#'*) continue ;; esac
        [ -f "$2/$name" ] || { echo "FAILED: $2/$name is not built" >&2; return 1; }
        echo "$name"
    done <"$1"
}
mapfile -t expected < <(listed "$root/packaging/product-files.txt" "$bin")
mapfile -t expected64 < <(listed "$root/packaging/product-files-x64.txt" "$bin64")
[ ${#expected[@]} = 4 ] && [ ${#expected64[@]} = 3 ] || { echo "FAILED: the release lists"; exit 1; }

echo "== packing"
out="$work/out"
check "dist builds" "$root/scripts/dist.sh" "$bin" "$bin64" "$out" >/dev/null || exit 1
version=$("$root/scripts/version.sh")
zip="$out/Brindlecap-$version.zip"
zip64="$out/Brindlecap-$version-x64.zip"
setup="$out/Brindlecap-$version-setup.exe"

# The help pages as made from their sources, for any browser from Windows 95 on.
python3 "$root/scripts/helppage.py" page "$work/brindlecap.htm"
python3 "$root/scripts/helppage.py" page "$work/brindlecap-en.htm" --english
titled_in_cp1251() { iconv -f CP1251 -t UTF-8 "$1" | grep -qF "<TITLE>Brindlecap — справка</TITLE>"; }
help_page_is_right() { # FOLDER: the Russian page and the English one in it
    check "the help page is the one made from docs/help.md" cmp -s "$1/brindlecap.htm" "$work/brindlecap.htm"
    check "the help page declares Windows-1251" \
        grep -qF '<meta http-equiv="Content-Type" content="text/html; charset=windows-1251">' "$1/brindlecap.htm"
    check "the help page ends every line in CR LF" ends_in_crlf "$1/brindlecap.htm"
    check "the help page's Russian is Windows-1251" titled_in_cp1251 "$1/brindlecap.htm"
    check "the English help page is the one made from docs/help-en.md" \
        cmp -s "$1/brindlecap-en.htm" "$work/brindlecap-en.htm"
}

archive_holds() { # ZIP BIN NAME...: exactly these files, the help page, then the read-mes, as built
    local zipfile=$1 from=$2 name
    shift 2
    check "$(basename "$zipfile") lists exactly: $* brindlecap.htm brindlecap-en.htm ReadMe-ru.txt ReadMe-en.txt" \
        [ "$(unzip -Z1 "$zipfile")" = "$(printf '%s\n' "$@" brindlecap.htm brindlecap-en.htm ReadMe-ru.txt ReadMe-en.txt)" ]
    for name in "$@"; do
        check "$name packed byte for byte into $(basename "$zipfile")" cmp -s <(unzip -p "$zipfile" "$name") "$from/$name"
    done
    rm -rf "$work/readme"
    unzip -q "$zipfile" ReadMe-ru.txt ReadMe-en.txt brindlecap.htm brindlecap-en.htm -d "$work/readme"
    help_page_is_right "$work/readme"
    check "Russian read-me ends every line in CR LF" ends_in_crlf "$work/readme/ReadMe-ru.txt"
    check "English read-me ends every line in CR LF" ends_in_crlf "$work/readme/ReadMe-en.txt"
    check "Russian read-me is the text in Windows-1251" cmp -s \
        <(tr -d '\r' <"$work/readme/ReadMe-ru.txt" | iconv -f CP1251 -t UTF-8) "$root/packaging/readme-ru.txt"
    check "English read-me is plain ASCII" iconv -f ASCII -t ASCII "$work/readme/ReadMe-en.txt" -o /dev/null
}
echo "== the archives"
archive_holds "$zip" "$bin" "${expected[@]}"
archive_holds "$zip64" "$bin64" "${expected64[@]}"
for name in "${expected64[@]}"; do
    check "$name of the 64-bit archive is a PE32+ for x86-64" eval \
        'unzip -p "$zip64" "$name" >"$work/x64file" && x86_64-w64-mingw32-objdump -f "$work/x64file" | grep -q "file format pei-x86-64\$"'
done

# Other file times in the build tree must not reach the packages.
mkdir -p "$work/bin2" "$work/bin64b"
cp "$bin"/* "$work/bin2/"
cp "$bin64"/* "$work/bin64b/"
touch -d '2001-02-03 04:05:06' "$work/bin2"/* "$work/bin64b"/*
"$root/scripts/dist.sh" "$work/bin2" "$work/bin64b" "$work/out2" >/dev/null
check "a second packing gives the same archive" cmp -s "$zip" "$work/out2/Brindlecap-$version.zip"
check "a second packing gives the same 64-bit archive" cmp -s "$zip64" "$work/out2/Brindlecap-$version-x64.zip"
check "a second packing gives the same installer" cmp -s "$setup" "$work/out2/Brindlecap-$version-setup.exe"
rm "$work/bin2/Brindlecap.exe"
check "packing refuses a release without Brindlecap.exe" \
    eval '! "$root/scripts/dist.sh" "$work/bin2" "$work/bin64b" "$work/out3" >/dev/null 2>&1'
cp "$bin/Brindlecap.exe" "$work/bin2/"
rm "$work/bin64b/Setup.dll"
check "packing refuses a release without the 64-bit Setup.dll" \
    eval '! "$root/scripts/dist.sh" "$work/bin2" "$work/bin64b" "$work/out4" >/dev/null 2>&1'

if ! "$root/scripts/can-run-32bit.sh"; then
    echo "== the installer is a 32-bit program, and this machine runs none: not tried"
    echo "$((checks - failures)) passed, $failures failed"
    [ "$failures" = 0 ]
    exit
fi

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
    timeout 120 "$WINESERVER" -w || { echo "programs still run 120 s after $1"; rc=1; }
    return $rc
}
reg_has() { wine reg query "$1" /v "$2" </dev/null >/dev/null 2>&1; }
reg_value() { wine reg query "$1" /v "$2" </dev/null 2>/dev/null | tr -d '\r' | awk -v v="$2" '$1 == v {sub(/^ *[^ ]+ +[^ ]+ +/, ""); print}'; }
RUN='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
USER_RUN='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
UNINSTALL='Software\Microsoft\Windows\CurrentVersion\Uninstall\Brindlecap'
start_menu() { find "$drive_c/users" -path "*/Start Menu/Programs/Brindlecap" -type d 2>/dev/null; }

installed_as_built() { # FOLDER [BIN NAME...]: the files, their bytes, the uninstaller, nothing else
    local folder=$1 from=${2:-$bin} name
    local names=("${expected[@]}")
    [ $# -gt 2 ] && names=("${@:3}")
    for name in "${names[@]}"; do
        check "installed $name is the built one" cmp -s "$folder/$name" "$from/$name"
    done
    help_page_is_right "$folder"
    check "uninstaller beside them" [ -f "$folder/Uninstall.exe" ]
    check "nothing else installed" [ "$(ls "$folder" | grep -vx 'Brindlecap\.\(ini\|log\)' | sort)" = "$(printf '%s\n' "${names[@]}" brindlecap.htm brindlecap-en.htm Uninstall.exe | sort)" ]
    local menu
    menu=$(start_menu)
    check "Start menu entry" [ -f "$menu/Brindlecap.lnk" ]
    check "Start menu entry starts the installed program" \
        grep -qaF "$(winepath -w "$folder/Brindlecap.exe" 2>/dev/null)" "$menu/Brindlecap.lnk"
    check "registered for removal" eval 'reg_has "HKLM\\$UNINSTALL" UninstallString || reg_has "HKCU\\$UNINSTALL" UninstallString'
}

uninstalled() { # FOLDER
    local folder=$1 name
    for name in "${expected[@]}" brindlecap.htm brindlecap-en.htm Uninstall.exe; do
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
wine reg add "$RUN" /v Brindle /d '"C:\Brindlecap-test\Brindlecap.exe"' /f </dev/null >/dev/null 2>&1
wine reg add "$USER_RUN" /v Brindle /d 'C:\Brindlecap-test\Brindlecap.exe' /f </dev/null >/dev/null 2>&1
wine reg add "$RUN" /v Other /d 'C:\Other\other.exe' /f </dev/null >/dev/null 2>&1
check "uninstaller ends with 0" run 'C:\Brindlecap-test\Uninstall.exe' /S
uninstalled "$folder"
check "the autostart values of this copy go, quoted or not" eval '! reg_has "$RUN" Brindle && ! reg_has "$USER_RUN" Brindle'
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

"$root/scripts/wine-session.sh" stop "$home"
rm -rf "$home"

echo "== the installer's 64-bit branch, in a fresh 64-bit prefix, over a 32-bit copy"
home="$work/wine64"
mkdir -p "$home"
echo win64 >"$home/arch"
trap '"$root/scripts/wine-session.sh" stop "$home"; rm -rf "$home"' EXIT
"$root/scripts/wine-session.sh" start "$home" || { echo "FAILED: no 64-bit Wine session"; exit 1; }
. "$root/scripts/wine-env.sh" "$home"
. "$SESSION_FILE"
wineserver -k
wineserver -w
drive_c="$WINEPREFIX/drive_c"
folder="$drive_c/Brindlecap-test"
mkdir -p "$folder"
cp "${expected[@]/#/$bin/}" "$folder/"
printf '\x01\x00\x02\x00\x03\x00\x04\x00\x05\x00\x06\x00\x07\x00\x08\x00\x09\x00\x0a\x00\x0b\x00\x0c' >"$folder/Brindlecap.ini"
printf '[7/12/2026 2:9] \xc7\xe0\xef\xf0\xee\xf1  48 \xcc\xe1 #MANUAL\r\n' >"$folder/Brindlecap.log"
user_files=$(cat "$folder/Brindlecap.ini" "$folder/Brindlecap.log" | sha256sum)
# This prefix's reg is 64-bit: RUN is the key the 64-bit settings module
# writes; the older 32-bit copy was registered in the 32-bit view.
WOW_UNINSTALL='Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\Brindlecap'
wine reg add "HKLM\\$WOW_UNINSTALL" /v UninstallString /d '"C:\Brindlecap-test\Uninstall.exe"' /f </dev/null >/dev/null 2>&1
check "installer ends with 0" run "$setup" /S '/D=C:\Brindlecap-test'
installed_as_built "$folder" "$bin64" "${expected64[@]}"
check "the 32-bit copy's settings and log stay" \
    [ "$(cat "$folder/Brindlecap.ini" "$folder/Brindlecap.log" 2>/dev/null | sha256sum)" = "$user_files" ]
check "installed 64-bit program cleans 100 MB and ends with 0" run 'C:\Brindlecap-test\Brindlecap.exe' C 100
check "no entry in the 32-bit registry" eval '! reg_has "HKLM\\$WOW_UNINSTALL" UninstallString'
wine reg add "$RUN" /v Brindle /d '"C:\Brindlecap-test\Brindlecap.exe"' /f </dev/null >/dev/null 2>&1
check "uninstaller ends with 0" run 'C:\Brindlecap-test\Uninstall.exe' /S
check "uninstall removes the 64-bit registration" eval '! reg_has "HKLM\\$UNINSTALL" UninstallString'
check "uninstall removes the 64-bit program's autostart" eval '! reg_has "$RUN" Brindle'
for name in "${expected64[@]}" brindlecap.htm brindlecap-en.htm Uninstall.exe; do
    check "uninstall removes $name" absent "$folder/$name"
done

echo "$((checks - failures)) passed, $failures failed"
[ "$failures" = 0 ]
