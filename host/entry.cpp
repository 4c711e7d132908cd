// The program's entry point. The host links no C runtime (common/runtime.cpp
// has the block moves the compiler may call).
#include <windows.h>

#include "startup.h"

extern "C" void HostEntry() { ExitProcess(UINT(RunHost(GetCommandLineA()))); }
