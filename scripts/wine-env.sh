# Sourced by the Wine scripts: the private Wine world of one build tree.
# $1: its home folder (the prefix and the session files live there). The
# tree's architecture stands in the file "arch" there (win32 or win64, written
# when the tree is configured): each architecture has its own prefix, loader
# and server, so that the two never share a session.
WINE_HOME=${1:?wine home folder}
export WINEPREFIX="$WINE_HOME/prefix"
WINE_ARCH=$(cat "$WINE_HOME/arch" 2>/dev/null || echo win32)
if [ "$WINE_ARCH" = win64 ]; then
    export WINEARCH=win64
    WINE=/usr/lib/wine/wine64
    export WINELOADER=$WINE
    export WINESERVER=/usr/lib/wine/wineserver64
else
    export WINEARCH=win32
    WINE=/usr/lib/wine/wine
    export WINELOADER=$WINE
    # The 32-bit server where it runs; a 64-bit one serves 32-bit programs too.
    if [ -x /usr/lib/wine/wineserver64 ]; then
        export WINESERVER=/usr/lib/wine/wineserver64
    else
        export WINESERVER=/usr/lib/wine/wineserver32
    fi
fi
wine() { "$WINE" "$@"; }
wineserver() { "$WINESERVER" "$@"; }
wineboot() { "$WINE" wineboot "$@"; }
winepath() { "$WINE" winepath "$@"; }
# Quiet unless a caller asks for a trace (BRINDLECAP_WINEDEBUG=+relay).
export WINEDEBUG=${BRINDLECAP_WINEDEBUG:--all}
# No Mono or Gecko installers asking questions while the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# A Russian system, ANSI code page 1251, unless a caller asks for another
# (BRINDLECAP_LOCALE=C.UTF-8: an English one, code page 1252).
export LC_ALL=${BRINDLECAP_LOCALE:-ru_RU.UTF-8}
export LANG=$LC_ALL
SESSION_FILE="$WINE_HOME/session.env"
