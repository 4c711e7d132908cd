// The background monitor of the resident modes.
#pragma once
#include <windows.h>
#include <stdint.h>

extern HANDLE MonitorThreadHandle; // 0 while no monitor runs

// Starts the monitor thread at the lowest priority; tells the user when it
// cannot. The thread runs until the process ends.
void StartMonitor();
// The thread routine: one tick a second, for ever.
DWORD WINAPI MonitorThread(LPVOID parameter);
// One tick's work with the tick counter `count`; the counter for the next
// tick.
uint16_t RunMonitorTick(uint16_t count);
