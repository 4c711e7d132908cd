// The background monitor of the resident modes.
#pragma once
#include <windows.h>

extern HANDLE MonitorThreadHandle; // 0 while no monitor runs

void StartMonitor();
