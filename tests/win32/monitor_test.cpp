// One tick of the monitor at a time: which cleanings it asks for and the
// log lines that follow, with the settings read on that tick.
#include <windows.h>

#include <string>

#include "../../common/numtext.h"
#include "../../common/rounding.h"
#include "../../host/appstate.h"
#include "../../host/cpusampler.h"
#include "../../host/memstatus.h"
#include "../../host/monitor.h"
#include "../../host/settings.h"
#include "../../host/startup.h"
#include "check.h"
#include "support.h"

namespace {

// " <amount> " and "#<tag>" of each line, in order, e.g. "CRITICAL 24105".
std::string Requests(const TTempFolder& folder)
{
    std::string log, out;
    if (!ReadWholeFile(folder.File("Brindlecap.log"), &log))
        return out;
    size_t start = 0;
    for (size_t end; (end = log.find("\r\n", start)) != std::string::npos; start = end + 2) {
        std::string line = log.substr(start, end - start);
        size_t hash = line.rfind(" #");
        size_t mb = line.rfind(' ', line.rfind(' ', hash - 1) - 1); // " <n> Мб #"
        std::string amount = line.substr(mb + 1, line.find(' ', mb + 1) - mb - 1);
        if (!out.empty())
            out += ", ";
        out += line.substr(hash + 2) + " " + amount;
    }
    return out;
}

std::string Request(const char* tag, uint8_t percent)
{
    char amount[12];
    FormatDecimal(PercentOfTotal(TotalPhysicalMB(), percent), amount);
    return std::string(tag) + " " + amount;
}

} // namespace

CHECK_CASE(MonitorTickCleansAndLogsAsTheSettingsSay)
{
    TTempFolder folder;
    CHECK(folder.Ready());
    TSettings saved = Settings;
    PlatformClass = DetectPlatform();
    InitCpuSampler();
    // Every run refused by the engine (100 % is not below the total), yet
    // logged; the memory threshold any machine passes.
    Settings.TrayIconMode = 0;
    Settings.LogEnabled = 1;
    Settings.CriticalLoadPercent = 0;
    Settings.CriticalCleanPercent = 100;
    Settings.AutoCleanPercent = 100;
    Settings.CpuLoadLimit = 255;
    Settings.AutoCleanInterval = 1;
    CHECK(UsedPhysicalPercent() > 0);

    // The first minute: nothing.
    CHECK_EQ(61, RunMonitorTick(60));
    CHECK_STR("", Requests(folder).c_str());
    // Count 61 with an interval of 1: the critical cleaning, then the
    // automatic one, and the counter starts again.
    CHECK_EQ(1, RunMonitorTick(61));
    std::string both = Request("CRITICAL", 100) + ", " + Request("AUTO", 100);
    CHECK_STR(both.c_str(), Requests(folder).c_str());
    CHECK(AppState.load() != Cleaning);

    // A busy processor (no sample is below a limit of 0) holds the critical
    // cleaning back; an interval of 0 resets the counter without cleaning.
    Settings.CpuLoadLimit = 0;
    Settings.AutoCleanInterval = 0;
    CHECK_EQ(1, RunMonitorTick(61));
    CHECK_STR(both.c_str(), Requests(folder).c_str());

    // Settings read on this tick: a new interval and share count at once
    // (more than all of memory: refused, still logged);
    // logging off writes nothing more.
    Settings.AutoCleanInterval = 2;
    Settings.AutoCleanPercent = 150;
    CHECK_EQ(62, RunMonitorTick(61));
    CHECK_EQ(1, RunMonitorTick(120));
    both += ", " + Request("AUTO", 150);
    CHECK_STR(both.c_str(), Requests(folder).c_str());
    Settings.LogEnabled = 0;
    CHECK_EQ(1, RunMonitorTick(120));
    CHECK_STR(both.c_str(), Requests(folder).c_str());
    Settings = saved;
}
