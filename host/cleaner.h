// The one way to ask for a cleaning: the guard, the run on the system's
// memory, and the log line. The run itself is logic/cleaner.
#pragma once
#include <windows.h>
#include <stdint.h>

#include "logic/cleaner.h"

// Commits and writes `megabytes` MB (at most 1 GiB) one MiB at a time, then
// releases it all, on the calling thread. The run is refused at once while
// another is under way, once the program ends, or when `megabytes` is not
// below the total physical memory in MB. With a `tag`, the request is
// logged afterwards (when the settings ask for a log), refused or not.
// `progress`, null for a silent run, receives the phases and progress.
// False when refused. With `tell` (a run the user asked for), the free
// physical MB before the run go to MainWindow as WM_CLEANRESULT's wParam
// once it is over; a refusal because another run is under way goes there
// with lParam kCleaningBusy.
bool RequestCleaning(int32_t megabytes, const char* tag, const TCleanReporter* progress,
                     bool tell = false);
enum : UINT { WM_CLEANRESULT = 0x8003 }; // WM_APP + 3
enum { kCleaningBusy = 1 };

// The same request, silent, run on a thread of its own so that the caller's
// windows keep answering. A refusal is known (and logged) before it
// returns: false then. The main thread's alone.
bool RequestCleaningThread(int32_t megabytes, const char* tag, bool tell = false);

// RequestCleaning's guard alone, for a caller that must answer before the
// run: false, with nothing taken, when the request would be refused.
bool ClaimCleaning(int32_t megabytes, uint8_t* previous);
// The run of a claimed request on the calling thread; gives the guard back.
void RunClaimedCleaning(int32_t megabytes, uint8_t previous, const TCleanReporter* progress,
                        bool tell = false);
// The same, silent, on a thread of its own (here when none can start), then
// logged with `tag`. The main thread's alone.
void StartClaimedCleaning(int32_t megabytes, uint8_t previous, const char* tag, bool tell = false);

// The thread StartClaimedCleaning started last, at the lowest priority; 0
// when none was or it has been waited for.
extern HANDLE CleaningThreadHandle;

// The program's end: no run starts any more, one under way stops between
// chunks and releases them, and the thread RequestCleaningThread started is
// waited for. The main thread's alone.
void FinishCleaning();
