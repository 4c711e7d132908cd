// The host's view of memory, and the writing of figures into a dialog.
#pragma once
#include <windows.h>
#include <stdint.h>

#include "memfigures.h"

// Flags of a dialog update.
enum : uint16_t {
    udPhysical = 0x02,      // 1001..1004
    udPageFile = 0x04,      // 1005..1007
    udVirtual = 0x08,       // 1008..1010
    udUnitRadio = 0x10,     // radio buttons 100..102
    udStatus = 0x20,        // status text 1011
    udCleanProgress = 0x40, // progress bar 300
    udCpuLoad = 0x80,       // progress bar 301 and text 1012
};

#pragma pack(push, 1)
struct TDialogUpdate {
    uint16_t Flags;
    HWND Dialog;
    int32_t DisplayUnit; // 1, 1024 or 1048576
    int32_t Phase;       // 1 filling, 2 releasing, 3 done
    int32_t Percent;
};
#pragma pack(pop)

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

// Takes a fresh reading into the shared snapshot.
void RefreshMemStatus();
// Refresh, then the total physical memory in whole MiB.
int32_t TotalPhysicalMB();
// Refresh, then 100 - Round(free MB * 100 / total MB).
int32_t UsedPhysicalPercent();

void UpdateDialog(const TDialogUpdate& request);
