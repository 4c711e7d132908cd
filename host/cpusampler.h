// Processor load, measured between two samples.
#pragma once
#include <stdint.h>

// Prepares the NT family's measurement (and the guard every platform's
// samples share); false when NTDLL.DLL is not in the process. Runs once at
// start-up before any other thread.
bool InitCpuSampler();
// Idle time of all processors the query answers for, summed, in 100 ns
// units; 0 when there is nothing to ask.
int64_t QueryIdleTime();
// How many processors' records the latest answered query held (1 before any).
int32_t SampledProcessors();
// The load in percent since the previous sample by any caller. On the NT
// family without a query (no NTDLL.DLL, or after FreeCpuSampler) and on
// platforms without a measurement: kUnmeasuredLoad.
int32_t SampleCpuLoad();
// Frees the NT query buffer; a sample that comes later reads as unmeasured.
bool FreeCpuSampler();

// Full load: what cannot be measured never lets a critical cleaning pass
// for an idle processor.
enum { kUnmeasuredLoad = 100 };
