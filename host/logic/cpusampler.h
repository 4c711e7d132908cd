// Processor load from the idle time that all processors accumulated between
// two readings, and the baseline that every sample moves.
#pragma once
#include <stdint.h>

#include "../../common/lock.h"

// 100 x (1 - idle share of the interval), the idle time of `processors`
// processors summed in 100 ns units against the interval times their count,
// rounded half to even over the exact ratio. Not clamped: the tick count and
// the idle counters do not advance in step, so it can leave 0..100 a little.
// An interval of 0 ms gives 0; fewer than one processor counts as one.
int32_t LoadFromIdle(int64_t idleUnits, uint32_t elapsedMs, int32_t processors = 1);

struct TCpuBaseline {
    int64_t PreviousIdle;
    int64_t CurrentIdle;
    uint32_t LastTick; // ms
};

// One sample: the baseline moves to (now, idle) and the load since the
// reading before is returned. A tick count that has not moved on (the same
// value, or wrapped past 2^32) gives 0 and becomes the new last tick.
int32_t AdvanceBaseline(TCpuBaseline* baseline, uint32_t now, int64_t idle, int32_t processors = 1);

struct TCpuReading {
    uint32_t Tick;
    int64_t Idle;       // summed over the processors
    int32_t Processors; // how many records the idle time sums
};
// Takes a tick count and an idle time, in that order, and the processor
// count (one when left alone); false when there is nothing to read from (no
// query function, or the sampler was freed).
typedef bool (*TCpuReader)(void* context, TCpuReading* reading);

// The process-wide instrument: the baseline and the guard that lets one
// sample at a time read and move it.
struct TCpuSampler {
    TLock Guard;
    TCpuBaseline Baseline;
};

// Reads and advances under the guard; `unmeasured` when the reader has
// nothing to give.
int32_t TakeCpuSample(TCpuSampler* sampler, TCpuReader read, void* context, int32_t unmeasured);
