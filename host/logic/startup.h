// The host's command line: how it is split and which way of running it picks.
// Its Win32 half: startup.
#pragma once
#include <stddef.h>
#include <stdint.h>

// Longest parameter kept; longer ones are cut (the mode character and the
// whole-text comparisons cannot change by that).
enum { kMaxParameter = 1024 };

// Parameter `index` of `commandLine` into `out`, by the platform's rule:
// characters below "!" separate, an empty pair of quotes is skipped like a
// separator, other quotes group blanks and are dropped. Index 0 is the
// program name as typed. A missing parameter reads as the empty text; the
// result says whether it was present.
bool GetParameter(const char* commandLine, int index, char* out, int size);

enum TMode {
    ModeTray,   // no parameter or an unlisted first character
    ModeHidden, // "S" / "s": resident, no tray icon
    ModeInfo,   // "I" / "i"
    ModeAbout,  // "?"
    ModeClean,  // "C" / "c"
};

struct TStartRequest {
    char ModeChar; // "!" without a parameter
    TMode Mode;
    // Cleaning mode only:
    bool CleanAllMemory; // parameter 2 is exactly "A" or "a": total MB - 15
    int32_t CleanAmount; // ParseNumber of parameter 2 otherwise
    bool CleanDialog;    // parameter 3 is exactly "D" or "d"
};

TMode ModeOf(char modeChar);
// The letter after a leading "/" or "-" when one follows, else the first
// character; "!" without a parameter.
TStartRequest ReadCommandLine(const char* commandLine);
