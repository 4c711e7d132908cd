#include "monitorrule.h"

TTickPlan PlanTick(uint16_t count, uint16_t intervalMinutes)
{
    TTickPlan plan = {false, false, count};
    // Nothing is watched in the first minute after start or after a reset.
    if (count > 60) {
        plan.CriticalTest = true;
        if (intervalMinutes == 0) {
            plan.NextCount = 0;
        } else if (count / 60 == intervalMinutes) {
            plan.NextCount = 0;
            plan.AutoClean = true;
        }
    }
    plan.NextCount = uint16_t(plan.NextCount + 1);
    return plan;
}

bool MemoryCritical(int32_t usedPercent, uint8_t criticalLoadPercent)
{
    return usedPercent > int32_t(criticalLoadPercent);
}

bool ProcessorQuiet(int32_t sample, uint8_t cpuLoadLimit)
{
    if (sample < 0)
        sample = 0;
    return sample < int32_t(cpuLoadLimit);
}

uint32_t RefreshPause(uint16_t periodMs)
{
    const uint32_t shortest = kShortestRefresh;
    return periodMs < shortest ? shortest : periodMs;
}
