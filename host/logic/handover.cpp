#include "handover.h"

bool HandsOver(TMode mode) { return mode == ModeClean || mode == ModeInfo || mode == ModeAbout; }

int HandOverExitCode(intptr_t answer)
{
    switch (answer) {
    case kHandOverTaken:
        return 0;
    case kHandOverRefused:
        return 1;
    default:
        return -1;
    }
}
