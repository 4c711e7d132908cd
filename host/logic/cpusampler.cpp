#include "cpusampler.h"

#include "../../common/logic/rounding.h"

int32_t LoadFromIdle(int64_t idleUnits, uint32_t elapsedMs, int32_t processors)
{
    if (elapsedMs == 0)
        return 0;
    if (processors < 1)
        processors = 1;
    // Far more than any system counts; keeps the products below 2^63.
    if (processors > 65536)
        processors = 65536;
    // 100 - idle per second / 100,000 = (elapsed x 10^4 - idle) / (elapsed x
    // 100). A real idle time is far below the limit; a garbled one is kept
    // from overflowing and reads as a load far outside 0..100.
    const int64_t limit = int64_t(1) << 50;
    if (idleUnits > limit)
        idleUnits = limit;
    if (idleUnits < -limit)
        idleUnits = -limit;
    int64_t span = int64_t(elapsedMs) * processors;
    int64_t denominator = span * 100;
    int64_t numerator = span * 10000 - idleUnits;
    int64_t whole = numerator / denominator;
    if (whole > INT32_MAX - 1)
        return INT32_MAX;
    if (whole < INT32_MIN + 1)
        return INT32_MIN;
    return RoundRatio(numerator, denominator);
}

int32_t AdvanceBaseline(TCpuBaseline* b, uint32_t now, int64_t idle, int32_t processors)
{
    b->PreviousIdle = b->CurrentIdle;
    b->CurrentIdle = idle;
    int32_t load = 0;
    if (now > b->LastTick) {
        // Wrapping difference: a counter garbled by a failed query must not
        // overflow.
        int64_t idleUnits = int64_t(uint64_t(b->CurrentIdle) - uint64_t(b->PreviousIdle));
        load = LoadFromIdle(idleUnits, now - b->LastTick, processors);
    }
    b->LastTick = now;
    return load;
}

int32_t TakeCpuSample(TCpuSampler* sampler, TCpuReader read, void* context, int32_t unmeasured)
{
    Lock(&sampler->Guard);
    // A reader that does not count processors reads one.
    TCpuReading reading = {0, 0, 1};
    int32_t load = unmeasured;
    if (read(context, &reading))
        load = AdvanceBaseline(&sampler->Baseline, reading.Tick, reading.Idle, reading.Processors);
    Unlock(&sampler->Guard);
    return load;
}
