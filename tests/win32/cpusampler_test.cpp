// The processor load sampler against the system's own sources: the native
// query on the NT family, the dynamic registry data in Windows 98 mode.
#include <windows.h>

#include "../../host/cpusampler.h"
#include "../../host/hostenv.h"
#include "check.h"
#include "support.h"

CHECK_CASE(CpuSamplerReadsEveryProcessorThroughTheNativeQuery)
{
    int saved = PlatformClass;
    PlatformClass = InWin98Copy() ? PlatformWin9x : PlatformNT;
    if (PlatformClass == PlatformNT) {
        CHECK(InitCpuSampler());
        // Idle time in 100 ns units, never faster than the clock; a buffer
        // too small for this machine's records would leave it at 0.
        int64_t before = QueryIdleTime();
        DWORD start = GetTickCount();
        Sleep(300); // the interval measured, not a wait for a condition
        int64_t after = QueryIdleTime();
        CHECK(before > 0 && after >= before);
        // Every processor's record, and no more idle time than they all had.
        SYSTEM_INFO system;
        GetSystemInfo(&system);
        CHECK_EQ(system.dwNumberOfProcessors, SampledProcessors());
        CHECK(after - before <= int64_t(GetTickCount() - start + 50) * 10000 * SampledProcessors());
        int32_t load = SampleCpuLoad();
        CHECK(load >= -5 && load <= 105);
        // Freed: no query, the load unmeasured; set up again, it measures.
        CHECK(FreeCpuSampler());
        CHECK_EQ(0, QueryIdleTime());
        CHECK_EQ(kUnmeasuredLoad, SampleCpuLoad());
        CHECK(InitCpuSampler() && QueryIdleTime() > 0);
    }
    for (int platform : {int(PlatformWin32s), int(PlatformOther)}) {
        PlatformClass = platform;
        CHECK(InitCpuSampler());
        CHECK_EQ(100, SampleCpuLoad());
    }
    PlatformClass = saved;
}

CHECK_CASE(CpuSamplerReadsTheKernelStatisticInWindows98Mode)
{
    if (!InWin98Copy())
        return;
    int saved = PlatformClass;
    PlatformClass = DetectPlatform();
    CHECK(PlatformClass == PlatformWin9x && InitCpuSampler());
    CHECK_EQ(100, SampleCpuLoad()); // nothing to read
    HKEY key = nullptr;
    CHECK_EQ(ERROR_SUCCESS,
             RegOpenKeyExA(HKEY_DYN_DATA, "PerfStats\\StatData", 0, KEY_ALL_ACCESS, &key));
    DWORD planted = 37;
    RegSetValueExA(key, "KERNEL\\CPUUsage", 0, REG_BINARY, (const BYTE*)&planted, 4);
    CHECK_EQ(37, SampleCpuLoad());
    RegDeleteValueA(key, "KERNEL\\CPUUsage");
    RegCloseKey(key);
    CHECK_EQ(100, SampleCpuLoad());
    PlatformClass = saved;
}
