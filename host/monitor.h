// The background monitor of the resident modes.
#pragma once
#include <windows.h>
#include <stdint.h>

#include "logic/monitor.h"

extern HANDLE MonitorThreadHandle; // 0 while no monitor runs

// Starts the monitor thread at the lowest priority; tells the user when it
// cannot. The thread runs until StopMonitor.
void StartMonitor();
// Ends the monitor thread after its tick under way and waits for it (at
// most ten seconds).
void StopMonitor();
// The thread routine: one tick a second until StopMonitor.
DWORD WINAPI MonitorThread(LPVOID parameter);
// One tick's work with the counters `clock`; the counters for the next tick.
TMonitorClock RunMonitorTick(TMonitorClock clock);
