#!/bin/sh
# Exits 0 when this machine runs 32-bit programs, as the 32-bit Wine tier
# needs: asked of the 32-bit loader itself, not read from the kernel's
# configuration, which does not tell all (some kernels fault on 32-bit code
# however they were booted). BRINDLECAP_NO_32BIT=1 makes a machine that does
# run them behave as one that does not, to try that road.
[ -z "${BRINDLECAP_NO_32BIT:-}" ] || exit 1
/usr/lib/wine/wine --version >/dev/null 2>&1
