#include "monitor.h"

TTickPlan PlanTick(TMonitorClock clock, uint16_t intervalMinutes)
{
    uint16_t count = clock.Count;
    TTickPlan plan = {false, false, {count, clock.CriticalRest}};
    // Nothing is watched in the first minute after start or after a reset.
    if (count > 60) {
        plan.CriticalTest = clock.CriticalRest == 0;
        if (intervalMinutes == 0) {
            plan.Next.Count = 0;
        } else if (count / 60 >= intervalMinutes) {
            // Reached or passed: an interval lowered below the minutes
            // already counted fires now instead of after the counter wraps.
            plan.Next.Count = 0;
            plan.AutoClean = true;
        }
    }
    plan.Next.Count = uint16_t(plan.Next.Count + 1);
    if (plan.Next.CriticalRest)
        --plan.Next.CriticalRest;
    return plan;
}

void NoteCriticalClean(TTickPlan* plan) { plan->Next.CriticalRest = kCriticalRest; }

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

bool TickReadsMemory(int mode, uint32_t tick)
{
    return (mode != 1 && mode != 2) || tick % kTipMemoryTicks == 0;
}
