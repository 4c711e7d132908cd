#include "monitor.h"

#include "amounts.h"
#include "cleaner.h"
#include "cpusampler.h"
#include "memstatus.h"
#include "monitorrule.h"
#include "resources/resource.h"
#include "settings.h"
#include "hoststrings.h"
#include "tray.h"

HANDLE MonitorThreadHandle;

// A silent run of `percent` of physical memory.
static void CleanShare(const char* tag, uint8_t percent)
{
    RequestCleaning(PercentOfTotal(TotalPhysicalMB(), percent), tag, nullptr);
}

uint16_t RunMonitorTick(uint16_t count)
{
    RefreshTrayIcon();
    // Settings are read afresh on every tick: a re-read file counts at once.
    TTickPlan plan = PlanTick(count, Settings.AutoCleanInterval);
    // The processor is sampled only when memory is short: every sample
    // moves the baseline the tray icon and the information dialog share.
    if (plan.CriticalTest && MemoryCritical(UsedPhysicalPercent(), Settings.CriticalLoadPercent) &&
        ProcessorQuiet(SampleCpuLoad(), Settings.CpuLoadLimit))
        CleanShare("CRITICAL", Settings.CriticalCleanPercent);
    if (plan.AutoClean)
        CleanShare("AUTO", Settings.AutoCleanPercent);
    return plan.NextCount;
}

DWORD WINAPI MonitorThread(LPVOID)
{
    uint16_t count = 0;
    for (;;) {
        count = RunMonitorTick(count);
        Sleep(1000);
    }
}

void StartMonitor()
{
    DWORD id;
    MonitorThreadHandle = CreateThread(nullptr, 0, MonitorThread, nullptr, 0, &id);
    if (!MonitorThreadHandle) {
        ShowHostError(IDS_THREAD_FAILED);
        return;
    }
    SetThreadPriority(MonitorThreadHandle, THREAD_PRIORITY_LOWEST);
}
