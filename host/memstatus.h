// Reads the system's memory status into the shared snapshot; the figures
// and their rules are logic/memstatus.
#pragma once
#include <windows.h>
#include <stdint.h>

#include <atomic>

#include "logic/memstatus.h"

// MEMORYSTATUSEX of Windows 2000 and later, declared here because the
// headers hide it at the Windows version the host is built for.
struct TMemoryStatusEx {
    DWORD dwLength;
    DWORD dwMemoryLoad;
    DWORDLONG ullTotalPhys;
    DWORDLONG ullAvailPhys;
    DWORDLONG ullTotalPageFile;
    DWORDLONG ullAvailPageFile;
    DWORDLONG ullTotalVirtual;
    DWORDLONG ullAvailVirtual;
    DWORDLONG ullAvailExtendedVirtual;
};

// Where the readings come from: GlobalMemoryStatusEx where the system
// exports it (its 64-bit counts are true beyond 2 GiB), GlobalMemoryStatus
// on systems that predate it. Set once at start-up, before other threads.
void ChooseMemoryStatusSource(bool allowExtended);
bool UsesExtendedMemoryStatus();

// Some systems answer a memory query with their last answer for up to a
// second (Wine does): a reading meant to show what a run changed, if it
// may be such an answer, is taken again this many ms later.
enum { kMemoryRepeatDelay = 1100 };

// Takes a fresh reading into the shared snapshot.
void RefreshMemStatus();
// Refresh, then the total physical memory in whole MiB.
int32_t TotalPhysicalMB();
// Refresh, then the free physical memory in whole MiB.
int32_t FreePhysicalMB();
// Refresh, then 100 - Round(free MB * 100 / total MB).
int32_t UsedPhysicalPercent();

// Set while a dialog shows the snapshot's figures as they move: the monitor
// then refreshes the snapshot on every tick.
extern std::atomic<bool> MemoryWatched;
