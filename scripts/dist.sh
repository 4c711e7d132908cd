#!/bin/bash
# dist.sh BIN32 BIN64 OUT: the release from the product files of the 32-bit
# and the 64-bit build: OUT holds Brindlecap-VERSION.zip (the 32-bit files,
# the help page and the read-me texts), Brindlecap-VERSION-x64.zip (the 64-bit
# files and the same texts) and Brindlecap-VERSION-setup.exe, which installs
# the 64-bit files on 64-bit Windows and the 32-bit ones elsewhere, and the
# two help pages with either. Two runs over the
# same files give the same bytes: fixed file times, a fixed order, no build
# time anywhere.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
bin=$(cd "${1:?folder of the 32-bit product files}" && pwd)
bin64=$(cd "${2:?folder of the 64-bit product files}" && pwd)
mkdir -p "${3:?output folder}"
out=$(cd "$3" && pwd)
version=$("$here/version.sh")
export TZ=UTC

# Packed files carry the time of the commit they were built from.
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || true)}
epoch=${epoch:-1796083200}

stage="$out/stage"
stage64="$out/stage64"
rm -rf "$stage" "$stage64" "$out/nsis"
mkdir -p "$stage" "$stage64" "$out/nsis"

# stage_files LIST FROM TO: copies the listed files, every one of them, and
# prints their names.
stage_files() {
    local name found=0
    while read -r name; do
        case "$name" in '' | '#'*) continue ;; esac
        if [ ! -f "$2/$name" ]; then
            echo "dist: $2/$name is missing" >&2
            return 1
        fi
        cp "$2/$name" "$3/$name"
        echo "$name"
        found=1
    done <"$1"
    [ $found = 1 ] || { echo "dist: no product file in $1" >&2; return 1; }
}
mapfile -t files < <(stage_files "$root/packaging/product-files.txt" "$bin" "$stage")
mapfile -t files64 < <(stage_files "$root/packaging/product-files-x64.txt" "$bin64" "$stage64")
[ ${#files[@]} -gt 0 ] && [ ${#files64[@]} -gt 0 ] || exit 1
[ "${#files[@]}" = "$(grep -cv '^#\|^$' "$root/packaging/product-files.txt")" ] || exit 1
[ "${#files64[@]}" = "$(grep -cv '^#\|^$' "$root/packaging/product-files-x64.txt")" ] || exit 1
# A file that would not load on the Windows it is for, or that carries a
# link time, is not shipped.
staged=("${files[@]/#/$stage/}" "${files64[@]/#/$stage64/}")
"$here/check-pe.sh" "${staged[@]}" >/dev/null || {
    "$here/check-pe.sh" "${staged[@]}" >&2
    exit 1
}

# Notepad on every one of these systems: CR LF, Russian in Windows-1251,
# English in plain ASCII. The help pages "Справка" opens, Russian and
# English, from the sources of the README's user guides.
help_page=brindlecap.htm
help_page_en=brindlecap-en.htm
for dir in "$stage" "$stage64"; do
    iconv -f UTF-8 -t CP1251 "$root/packaging/readme-ru.txt" | sed 's/$/\r/' >"$dir/ReadMe-ru.txt"
    iconv -f UTF-8 -t ASCII "$root/packaging/readme-en.txt" | sed 's/$/\r/' >"$dir/ReadMe-en.txt"
    python3 "$here/helppage.py" page "$dir/$help_page"
    python3 "$here/helppage.py" page "$dir/$help_page_en" --english
    chmod 644 "$dir"/*
    touch -d "@$epoch" "$dir"/*
done

# pack ZIP DIR NAME...
pack() {
    local zipfile=$1 dir=$2
    shift 2
    rm -f "$zipfile"
    (cd "$dir" && zip -X -D -q -9 "$zipfile" "$@")
    touch -d "@$epoch" "$zipfile"
}
pack "$out/Brindlecap-$version.zip" "$stage" "${files[@]}" "$help_page" "$help_page_en" ReadMe-ru.txt ReadMe-en.txt
pack "$out/Brindlecap-$version-x64.zip" "$stage64" "${files64[@]}" "$help_page" "$help_page_en" ReadMe-ru.txt ReadMe-en.txt

# The installer takes the files present; its uninstaller removes every file
# a release of either architecture may have.
{
    echo '!macro INSTALL_PRODUCT_FILES'
    for name in "${files[@]}"; do echo "    File \"$stage/$name\""; done
    echo '!macroend'
    echo '!macro INSTALL_PRODUCT_FILES_X64'
    for name in "${files64[@]}"; do echo "    File \"$stage64/$name\""; done
    echo '!macroend'
    echo '!macro DELETE_PRODUCT_FILES'
    cat "$root/packaging/product-files.txt" "$root/packaging/product-files-x64.txt" |
        grep -v '^#' | awk 'NF && !seen[$1]++ {print "    Delete \"$INSTDIR\\" $1 "\""}'
    echo '!macroend'
} >"$out/nsis/files.nsh"
setup="$out/Brindlecap-$version-setup.exe"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DOUTFILE="$setup" \
    -DFILES_NSH="$out/nsis/files.nsh" -DHELP_PAGE="$stage/$help_page" -DHELP_PAGE_EN="$stage/$help_page_en" "$root/packaging/brindlecap.nsi" >"$out/nsis/makensis.log" || {
    cat "$out/nsis/makensis.log" >&2
    exit 1
}
touch -d "@$epoch" "$setup"

(cd "$out" && sha256sum "Brindlecap-$version.zip" "Brindlecap-$version-x64.zip" "Brindlecap-$version-setup.exe")
