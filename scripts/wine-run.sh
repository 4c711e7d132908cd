#!/bin/bash
# wine-run.sh HOME PROGRAM [ARGS...]: runs a Windows program under the
# build tree's Wine and returns its exit code. Inside a session (see
# wine-session.sh) it uses that session; alone it makes one for this run
# and ends it afterwards, leaving nothing running. 77 (the tests' skip code)
# when the tree is 32-bit and this machine runs no 32-bit programs.
set -u
here=$(cd "$(dirname "$0")" && pwd)
home=${1:?wine home folder}
shift
. "$here/wine-env.sh" "$home"

own_session=
if [ -f "$SESSION_FILE" ]; then
    . "$SESSION_FILE"
    if [ -n "${XVFB_PID:-}" ] && ! kill -0 "$XVFB_PID" 2>/dev/null; then
        rm -f "$SESSION_FILE"   # left over from a session that died
    fi
fi
if [ ! -f "$SESSION_FILE" ]; then
    "$here/wine-session.sh" start "$home" >&2
    rc=$?
    [ $rc = 0 ] || exit $([ $rc = 77 ] && echo 77 || echo 1)
    own_session=1
    . "$SESSION_FILE"
fi

wine "$@"
rc=$?
[ -n "$own_session" ] && "$here/wine-session.sh" stop "$home"
exit $rc
