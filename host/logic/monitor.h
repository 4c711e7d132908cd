// The monitor's pace: what it does on each tick.
#pragma once
#include <stdint.h>

// The monitor's two counters, both 16-bit and wrapping.
struct TMonitorClock {
    uint16_t Count;        // ticks since start or the last automatic cleaning or reset
    uint16_t CriticalRest; // ticks the critical test still sits out
};

// What one tick does with `clock` and the automatic interval in minutes.
struct TTickPlan {
    bool CriticalTest;  // look at memory use (and then the processor)
    bool AutoClean;     // the automatic cleaning is due
    TMonitorClock Next; // the counters for the next tick
};
TTickPlan PlanTick(TMonitorClock clock, uint16_t intervalMinutes);

// A critical cleaning is a full engine run: after one the critical test sits
// out this many ticks, so that memory that stays short does not start a run
// on every tick.
enum { kCriticalRest = 60 };
// The plan's next counters once the tick made a critical cleaning.
void NoteCriticalClean(TTickPlan* plan);

// Memory use strictly above the threshold.
bool MemoryCritical(int32_t usedPercent, uint8_t criticalLoadPercent);
// A processor sample strictly below the limit. A sample below 0 (the idle
// counter ran ahead of the tick count) is an idle processor, read as 0.
bool ProcessorQuiet(int32_t sample, uint8_t cpuLoadLimit);

// The tray picture of modes 1 and 2 shows the processor alone: memory, for
// the tip's free megabytes, is read on every kTipMemoryTicks-th tick only
// (a reading costs the idle tick more than the rest of it). Modes 3 and 4
// read it on every tick.
enum { kTipMemoryTicks = 5 };
bool TickReadsMemory(int mode, uint32_t tick);
