// The one way to ask for a cleaning: the guard, the run on the system's
// memory, and the log line. The run itself is logic/cleaner.
#pragma once
#include <stdint.h>

#include "logic/cleaner.h"

// Commits and writes `megabytes` MB (at most 1 GiB) one MiB at a time, then
// releases it all, on the calling thread. The run is refused at once while
// another is under way or when `megabytes` is not below the total physical
// memory in MB. With a `tag`, the request is logged afterwards (when the
// settings ask for a log), refused or not. `progress`, null for a silent
// run, receives the phases and progress.
void RequestCleaning(int32_t megabytes, const char* tag, const TCleanReporter* progress);
