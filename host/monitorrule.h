// The pace of the background threads: what the monitor does on each tick,
// and how long the information refresh pauses.
#pragma once
#include <stdint.h>

// What one tick of the monitor does with the tick counter `count` (ticks
// since start or since the last automatic cleaning or reset) and the
// automatic interval in minutes.
struct TTickPlan {
    bool CriticalTest;  // look at memory use (and then the processor)
    bool AutoClean;     // the automatic cleaning is due
    uint16_t NextCount; // the counter for the next tick, wrapped at 16 bits
};
TTickPlan PlanTick(uint16_t count, uint16_t intervalMinutes);

// Memory use strictly above the threshold.
bool MemoryCritical(int32_t usedPercent, uint8_t criticalLoadPercent);
// A processor sample strictly below the limit. A sample below 0 (the idle
// counter ran ahead of the tick count) is an idle processor, read as 0.
bool ProcessorQuiet(int32_t sample, uint8_t cpuLoadLimit);

// The refresh thread's pause for InfoRefreshPeriod: never shorter than
// kShortestRefresh ms, so that a period of 0 from a hand-edited file does
// not keep a processor busy with updates nobody can read.
enum { kShortestRefresh = 100 };
uint32_t RefreshPause(uint16_t periodMs);
