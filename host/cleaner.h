// The cleaning engine: makes the system hand physical memory back.
#pragma once
#include <stdint.h>

// Commits and writes `Amount` MB (at most 1 GiB) one MiB at a time, then
// releases it all, on the calling thread. Refused at once while another run
// is under way or when `Amount` is not below the total physical memory in
// MB. With `ShowProgress` the phases and progress go to CurrentDialog (as it
// is when the run starts), its memory figures in `DisplayUnit`.
void CleanMemory(int32_t Amount, int32_t DisplayUnit, bool ShowProgress);
