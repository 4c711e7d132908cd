// The second start's hand-over to the running copy. Its Win32 half:
// handover.
#pragma once
#include <stdint.h>

#include "startup.h"

// A second start hands a command to the running copy instead of refusing:
// the whole command line goes as a copied block marked kHandOverTag, and the
// running copy answers kHandOverTaken or kHandOverRefused (a run under way).
enum : uint32_t { kHandOverTag = 0x42434831 };
enum : intptr_t { kHandOverTaken = 0x4854, kHandOverRefused = 0x4852 };
// Whether a second start in `mode` hands it over; the others are refused.
bool HandsOver(TMode mode);
// The second copy's exit code for the running copy's answer: 0 taken, 1
// refused, -1 for anything else (an older or a stuck copy): the refusal box.
int HandOverExitCode(intptr_t answer);
