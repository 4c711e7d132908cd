// What a cleaning the user asked for tells afterwards: the memory it freed,
// or that another run was under way, in a balloon (or the tray tip) and in
// the main dialog's status.
#pragma once
#include <stdint.h>

// WM_CLEANRESULT: the run is over; `freeBeforeMB` is what was free before it.
void ShowCleanResult(int32_t freeBeforeMB);
// A pick refused because a run is under way.
void ShowCleaningBusy();
