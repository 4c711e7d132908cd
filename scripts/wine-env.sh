# Sourced by the Wine scripts: the private Wine world of one build tree.
# $1: its home folder (the prefix and the session files live there).
WINE_HOME=${1:?wine home folder}
export WINEPREFIX="$WINE_HOME/prefix"
export WINEARCH=win32
# Quiet unless a caller asks for a trace (BRINDLECAP_WINEDEBUG=+relay).
export WINEDEBUG=${BRINDLECAP_WINEDEBUG:--all}
# No Mono or Gecko installers asking questions while the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# A Russian system: ANSI code page 1251.
export LC_ALL=ru_RU.UTF-8
export LANG=ru_RU.UTF-8
SESSION_FILE="$WINE_HOME/session.env"
