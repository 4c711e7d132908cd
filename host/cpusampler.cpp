#include "cpusampler.h"

// The processor load sampler is not built yet: there is nothing to prepare
// or free, and every sample reads as full load, the value a platform without
// a way of measuring gets.
bool InitCpuSampler() { return true; }
int32_t SampleCpuLoad() { return 100; }
bool FreeCpuSampler() { return true; }
