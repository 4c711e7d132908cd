#!/bin/sh
# Prints the program's version ("1.97") as common/version.h gives it.
here=$(cd "$(dirname "$0")" && pwd)
awk '/#define BRINDLECAP_VERSION_(MAJOR|MINOR|PATCH) / { v[$2] = $3 }
     END { print v["BRINDLECAP_VERSION_MAJOR"] "." v["BRINDLECAP_VERSION_MINOR"] v["BRINDLECAP_VERSION_PATCH"] }' \
    "$here/../common/version.h"
