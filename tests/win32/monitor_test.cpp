// One tick of the monitor at a time: the cleanings it asks for and the log
// lines that follow, with the settings read on that tick.
#include <windows.h>

#include <string>

#include "../../host/logic/amounts.h"
#include "../../host/cpusampler.h"
#include "../../host/memstatus.h"
#include "../../host/monitor.h"
#include "../../host/settings.h"
#include "../../host/hostenv.h"
#include "check.h"
#include "support.h"

namespace {

// "TAG amount, ..." from the log's lines "... <amount> Мб #<tag>".
std::string Requests(const TTempFolder& folder)
{
    std::string log, out;
    ReadWholeFile(folder.File("Brindlecap.log"), &log);
    for (size_t start = 0, end; (end = log.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
        std::string line = log.substr(start, end - start);
        size_t hash = line.rfind(" #"), unit = line.rfind(' ', hash - 1);
        size_t amount = line.rfind(' ', unit - 1) + 1;
        out += (out.empty() ? "" : ", ") + line.substr(hash + 2) + " " +
               line.substr(amount, unit - amount);
    }
    return out;
}

std::string Request(const char* tag, uint8_t percent)
{
    return std::string(tag) + " " + std::to_string(PercentOfTotal(TotalPhysicalMB(), percent));
}

uint16_t Rest;

// One tick at `count` with the critical test resting `rest` more ticks;
// the next count, the next rest into Rest.
uint16_t Tick(uint16_t count, uint16_t rest = 0)
{
    TMonitorClock next = RunMonitorTick({count, rest});
    Rest = next.CriticalRest;
    return next.Count;
}

} // namespace

CHECK_CASE(MonitorTickCleansAndLogsAsTheSettingsSay)
{
    TTempFolder folder;
    TSettings saved = Settings;
    PlatformClass = DetectPlatform();
    InitCpuSampler();
    // Runs of all of memory or more, which the engine refuses and the log
    // still records; a memory threshold every machine passes.
    Settings.TrayIconMode = 0;
    Settings.LogEnabled = 1;
    Settings.CriticalLoadPercent = 0;
    Settings.CriticalCleanPercent = Settings.AutoCleanPercent = 100;
    Settings.CpuLoadLimit = 255;
    Settings.AutoCleanInterval = 1;
    CHECK(folder.Ready() && UsedPhysicalPercent() > 0);

    CHECK_EQ(61, Tick(60));   // the first minute: nothing
    CHECK_EQ(1, Tick(61, 0)); // critical, then automatic
    std::string lines = Request("CRITICAL", 100) + ", " + Request("AUTO", 100);
    CHECK_STR(lines.c_str(), Requests(folder).c_str());
    // The critical cleaning rests the critical test for a minute, whatever
    // the automatic cleaning does.
    CHECK_EQ(60, Rest);
    CHECK_EQ(1, Tick(61, 59));
    lines += ", " + Request("AUTO", 100);
    CHECK_STR(lines.c_str(), Requests(folder).c_str());

    // No sample is below a limit of 0; an interval of 0 only resets.
    Settings.CpuLoadLimit = 0;
    Settings.AutoCleanInterval = 0;
    CHECK_EQ(1, Tick(61));
    // A new interval and share count at once; logging off writes nothing.
    Settings.AutoCleanInterval = 2;
    Settings.AutoCleanPercent = 150;
    CHECK_EQ(62, Tick(61));
    CHECK_EQ(1, Tick(120));
    lines += ", " + Request("AUTO", 150);
    // An interval lowered below the minutes counted fires at once.
    CHECK_EQ(1, Tick(900));
    lines += ", " + Request("AUTO", 150);
    Settings.LogEnabled = 0;
    CHECK_EQ(1, Tick(120));
    CHECK_STR(lines.c_str(), Requests(folder).c_str());
    Settings = saved;
}

// A monitor not ended within the wait keeps its handle and event: a closed
// event whose value names another object would keep it ticking for ever.
CHECK_CASE(MonitorNotEndedInTimeKeepsWhatItWaitsOn)
{
    TSettings saved = Settings;
    Settings.TrayIconMode = 0;
    StartMonitor();
    HANDLE thread = nullptr, others[2];
    DuplicateHandle(GetCurrentProcess(), MonitorThreadHandle, GetCurrentProcess(), &thread, 0,
                    FALSE, DUPLICATE_SAME_ACCESS);
    SuspendThread(thread);
    StopMonitor(0);
    CHECK(MonitorThreadHandle != nullptr);
    for (HANDLE& other : others) // new objects take the lowest free values
        other = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ResumeThread(thread);
    CHECK(WaitForSingleObject(thread, 5000) == WAIT_OBJECT_0);
    StopMonitor();
    CHECK(MonitorThreadHandle == nullptr);
    for (HANDLE h : {others[0], others[1], thread})
        CloseHandle(h);
    Settings = saved;
}
