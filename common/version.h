// The program's version, for the code, the .rc files and the release
// scripts alike: "1.97" is 1, 9 and 7.
#pragma once

#define BRINDLECAP_VERSION_MAJOR 1
#define BRINDLECAP_VERSION_MINOR 9
#define BRINDLECAP_VERSION_PATCH 7

#define BRINDLECAP_TEXT_(x) #x
#define BRINDLECAP_TEXT(x) BRINDLECAP_TEXT_(x)
// "1.97"
#define BRINDLECAP_VERSION                                                                         \
    BRINDLECAP_TEXT(BRINDLECAP_VERSION_MAJOR)                                                      \
    "." BRINDLECAP_TEXT(BRINDLECAP_VERSION_MINOR) BRINDLECAP_TEXT(BRINDLECAP_VERSION_PATCH)
// FILEVERSION and PRODUCTVERSION of the version blocks
#define BRINDLECAP_VERSION_NUMBERS                                                                 \
    BRINDLECAP_VERSION_MAJOR, BRINDLECAP_VERSION_MINOR, BRINDLECAP_VERSION_PATCH, 0
