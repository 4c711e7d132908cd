// The processor load sampler against the system's own sources: the native
// query on the NT family, the dynamic registry data in Windows 98 mode.
#include <windows.h>

#include "../../host/cpusampler.h"
#include "../../host/startup.h"
#include "check.h"
#include "support.h"

CHECK_CASE(CpuSamplerReadsProcessorZeroThroughTheNativeQuery)
{
    if (InWin98Copy())
        return;
    int saved = PlatformClass;
    PlatformClass = PlatformNT;
    CHECK(InitCpuSampler());
    // The idle time advances in 100 ns units, never faster than the clock:
    // a buffer too small for this machine's records would read 0.
    int64_t before = QueryIdleTime();
    DWORD start = GetTickCount();
    Sleep(300); // the interval measured, not a wait for a condition
    int64_t after = QueryIdleTime();
    DWORD elapsed = GetTickCount() - start;
    CHECK(before > 0);
    CHECK(after >= before);
    CHECK(after - before <= int64_t(elapsed + 50) * 10000);

    SampleCpuLoad();
    Sleep(300);
    int32_t load = SampleCpuLoad();
    CHECK(load >= -5 && load <= 105);

    // Freed: no query is made, the load reads as unmeasured; set up again,
    // it measures again.
    CHECK(FreeCpuSampler());
    CHECK_EQ(0, QueryIdleTime());
    CHECK_EQ(kUnmeasuredLoad, SampleCpuLoad());
    CHECK(InitCpuSampler());
    CHECK(QueryIdleTime() > 0);
    PlatformClass = saved;
}

CHECK_CASE(CpuSamplerOnPlatformsWithoutAMeasurement)
{
    int saved = PlatformClass;
    CHECK(InitCpuSampler());
    for (int platform : {int(PlatformWin32s), int(PlatformOther), 0}) {
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
    CHECK_EQ(PlatformWin9x, PlatformClass);
    CHECK(InitCpuSampler());
    // Nothing to read: 100.
    CHECK_EQ(100, SampleCpuLoad());

    HKEY key = nullptr;
    CHECK_EQ(ERROR_SUCCESS,
             RegOpenKeyExA(HKEY_DYN_DATA, "PerfStats\\StatData", 0, KEY_ALL_ACCESS, &key));
    DWORD planted = 37;
    CHECK_EQ(ERROR_SUCCESS, RegSetValueExA(key, "KERNEL\\CPUUsage", 0, REG_BINARY,
                                           (const BYTE*)&planted, sizeof planted));
    CHECK_EQ(37, SampleCpuLoad());
    CHECK_EQ(37, SampleCpuLoad());
    RegDeleteValueA(key, "KERNEL\\CPUUsage");
    RegCloseKey(key);
    CHECK_EQ(100, SampleCpuLoad());
    PlatformClass = saved;
}
