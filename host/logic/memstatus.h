// The memory figures the host shows and decides on, and the shared snapshot
// of them that every thread refreshes and reads. Its Win32 half: memstatus.
#pragma once
#include <stdint.h>

// One memory status reading, in bytes. 64-bit counts, so that machines with
// more than 2 GiB read true figures.
struct TMemFigures {
    uint64_t TotalPhys;
    uint64_t AvailPhys;
    uint64_t TotalPageFile;
    uint64_t AvailPageFile;
    uint64_t TotalVirtual;
    uint64_t AvailVirtual;
};

// Bytes in the display unit (1, 1024 or 1048576), truncated. A unit below 1
// shows bytes.
uint64_t FigureInUnit(uint64_t bytes, int32_t unit);
// Total less available, never below 0.
uint64_t UsedBytes(uint64_t total, uint64_t available);
// Whole MiB, the remainder dropped.
int32_t WholeMB(uint64_t bytes);
// 100 - Round(free MB * 100 / total MB), the product in 32-bit unsigned
// arithmetic. A total below 1 MB reads as 0 % in use.
int32_t UsedPercentOf(const TMemFigures& figures);

// The process-wide snapshot. InitMemStatus runs once at start-up, before any
// other thread; every reader gets one whole record, never a mix of two.
void InitMemStatus();
void PublishMemStatus(const TMemFigures& figures);
TMemFigures ReadMemStatus();
