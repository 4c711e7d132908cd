#include "monitor.h"

#include "logic/amounts.h"
#include "cleaner.h"
#include "cpusampler.h"
#include "memstatus.h"
#include "logic/monitor.h"
#include "resources/resource.h"
#include "settings.h"
#include "hoststrings.h"
#include "tray.h"

HANDLE MonitorThreadHandle;
// Set by StopMonitor; the pause between ticks ends with it.
static HANDLE MonitorStop;

// A silent run of `percent` of physical memory.
static void CleanShare(const char* tag, uint8_t percent)
{
    RequestCleaning(PercentOfTotal(TotalPhysicalMB(), percent), tag, nullptr);
}

// The monitor thread's own: the figures of the last tick and a tick count
// that never resets.
static TTrayFigures LastFigures;
static uint32_t Ticks;

TMonitorClock RunMonitorTick(TMonitorClock clock)
{
    // Settings are read afresh on every tick: a re-read file counts at once.
    int mode = Settings.TrayIconMode;
    // One processor sample a tick, handed to the picture, its tip and the
    // critical test alike: a second sample within the same tick count would
    // read 0 and never hold a cleaning back.
    bool sampled = mode != 0;
    bool memory = sampled && (TickReadsMemory(mode, Ticks++) || LastFigures.TotalMB == 0);
    TTrayFigures figures = {};
    if (sampled)
        figures = LastFigures = ReadTrayFigures(memory, &LastFigures);
    RefreshTrayIcon(mode, figures);
    // A dialog that shows the figures as they move reads them from here.
    if (MemoryWatched.load() && !memory)
        RefreshMemStatus();
    TTickPlan plan = PlanTick(clock, Settings.AutoCleanInterval);
    // Use above 100 % is none: such a threshold needs no reading.
    if (plan.CriticalTest && Settings.CriticalLoadPercent < 100) {
        int32_t used = memory ? figures.UsedPercent : UsedPhysicalPercent();
        // Without a tray picture the processor is sampled only when memory
        // is short: every sample moves the baseline the information dialog
        // shares.
        if (MemoryCritical(used, Settings.CriticalLoadPercent) &&
            ProcessorQuiet(sampled ? figures.CpuLoad : SampleCpuLoad(), Settings.CpuLoadLimit)) {
            CleanShare("CRITICAL", Settings.CriticalCleanPercent);
            NoteCriticalClean(&plan);
        }
    }
    if (plan.AutoClean)
        CleanShare("AUTO", Settings.AutoCleanPercent);
    return plan.Next;
}

DWORD WINAPI MonitorThread(LPVOID)
{
    TMonitorClock clock = {0, 0};
    for (;;) {
        clock = RunMonitorTick(clock);
        if (!MonitorStop)
            Sleep(1000);
        else if (WaitForSingleObject(MonitorStop, 1000) != WAIT_TIMEOUT)
            return 0;
    }
}

void StartMonitor()
{
    // Without the event the thread still ticks; it then ends with the process.
    MonitorStop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD id;
    MonitorThreadHandle = CreateThread(nullptr, 0, MonitorThread, nullptr, 0, &id);
    if (!MonitorThreadHandle) {
        ShowHostError(IDS_THREAD_FAILED);
        return;
    }
    SetThreadPriority(MonitorThreadHandle, THREAD_PRIORITY_LOWEST);
}

void StopMonitor(DWORD wait)
{
    if (MonitorThreadHandle) {
        // Bounded: a tick stuck in a hung shell's call ends with the process.
        // Until the thread has ended its handle and its event stay open, so
        // that it never waits on a handle that has come to name another
        // object; the system closes them with the process.
        if (!MonitorStop || !SetEvent(MonitorStop) ||
            WaitForSingleObject(MonitorThreadHandle, wait) != WAIT_OBJECT_0)
            return;
        CloseHandle(MonitorThreadHandle);
        MonitorThreadHandle = nullptr;
    }
    if (MonitorStop) {
        CloseHandle(MonitorStop);
        MonitorStop = nullptr;
    }
}
