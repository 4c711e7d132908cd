// The background monitor of the resident modes.
#pragma once
#include <windows.h>
#include <stdint.h>

#include "logic/monitor.h"

extern HANDLE MonitorThreadHandle; // 0 while no monitor runs

// Starts the monitor thread at the lowest priority; tells the user when it
// cannot. The thread runs until StopMonitor.
void StartMonitor();
// Ends the monitor thread after its tick under way and waits for it, at most
// `wait` ms: the system gives a program about five seconds at log-off. A
// thread still running then keeps MonitorThreadHandle set, and what it
// reads stays, until the process ends.
enum : DWORD { kMonitorStopWait = 3000 };
void StopMonitor(DWORD wait = kMonitorStopWait);
// The thread routine: one tick a second until StopMonitor.
DWORD WINAPI MonitorThread(LPVOID parameter);
// One tick's work with the counters `clock`; the counters for the next tick.
TMonitorClock RunMonitorTick(TMonitorClock clock);
