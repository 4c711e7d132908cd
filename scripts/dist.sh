#!/bin/bash
# dist.sh BIN OUT: the release from the product files in BIN: OUT holds
# Brindlecap-VERSION.zip (the files and the read-me texts) and
# Brindlecap-VERSION-setup.exe. Two runs over the same files give the same
# bytes: fixed file times, a fixed order, no build time anywhere.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
bin=$(cd "${1:?folder of the product files}" && pwd)
mkdir -p "${2:?output folder}"
out=$(cd "$2" && pwd)
version=1.97
export TZ=UTC

# Packed files carry the time of the commit they were built from.
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || true)}
epoch=${epoch:-1796083200}

stage="$out/stage"
rm -rf "$stage" "$out/nsis"
mkdir -p "$stage" "$out/nsis"

files=()
while read -r name; do
    case "$name" in '' | '#'*) continue ;; esac
    if [ -f "$bin/$name" ]; then
        cp "$bin/$name" "$stage/$name"
        files+=("$name")
    else
        echo "dist: $bin/$name is missing" >&2
        exit 1
    fi
done <"$root/packaging/product-files.txt"
[ ${#files[@]} -gt 0 ] || { echo "dist: no product file" >&2; exit 1; }
# A file that would not load on Windows 95, or that carries a link time,
# is not shipped.
"$here/check-pe.sh" "${files[@]/#/$stage/}" >/dev/null || {
    "$here/check-pe.sh" "${files[@]/#/$stage/}" >&2
    exit 1
}

# Notepad on every one of these systems: CR LF, Russian in Windows-1251,
# English in plain ASCII.
iconv -f UTF-8 -t CP1251 "$root/packaging/readme-ru.txt" | sed 's/$/\r/' >"$stage/ReadMe-ru.txt"
iconv -f UTF-8 -t ASCII "$root/packaging/readme-en.txt" | sed 's/$/\r/' >"$stage/ReadMe-en.txt"
packed=("${files[@]}" ReadMe-ru.txt ReadMe-en.txt)
chmod 644 "$stage"/*
touch -d "@$epoch" "$stage"/*

zipfile="$out/Brindlecap-$version.zip"
rm -f "$zipfile"
(cd "$stage" && zip -X -D -q -9 "$zipfile" "${packed[@]}")
touch -d "@$epoch" "$zipfile"

# The installer takes the files present; its uninstaller removes every file
# a release may have.
{
    echo '!macro INSTALL_PRODUCT_FILES'
    for name in "${files[@]}"; do echo "    File \"$stage/$name\""; done
    echo '!macroend'
    echo '!macro DELETE_PRODUCT_FILES'
    grep -v '^#' "$root/packaging/product-files.txt" | awk 'NF {print "    Delete \"$INSTDIR\\" $1 "\""}'
    echo '!macroend'
} >"$out/nsis/files.nsh"
setup="$out/Brindlecap-$version-setup.exe"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DOUTFILE="$setup" \
    -DFILES_NSH="$out/nsis/files.nsh" "$root/packaging/brindlecap.nsi" >"$out/nsis/makensis.log" || {
    cat "$out/nsis/makensis.log" >&2
    exit 1
}
touch -d "@$epoch" "$setup"

(cd "$out" && sha256sum "Brindlecap-$version.zip" "Brindlecap-$version-setup.exe")
