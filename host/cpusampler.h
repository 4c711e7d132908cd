// Processor load, measured between two samples.
#pragma once
#include <stdint.h>

bool InitCpuSampler();
int32_t SampleCpuLoad();
bool FreeCpuSampler();
