// The memory status snapshot against the system's own readings, from both
// sources the host can choose.
#include <windows.h>

#include "../../host/memstatus.h"
#include "check.h"
#include "support.h"

namespace {

// Free memory moves while we look; figures that the machine's other work
// changes are compared within this much.
const uint64_t kDrift = 256ull << 20;

bool Near(uint64_t a, uint64_t b) { return (a > b ? a - b : b - a) <= kDrift; }

// Puts the start-up choice back whatever a case did.
struct TExtendedSourceAfterwards {
    ~TExtendedSourceAfterwards() { ChooseMemoryStatusSource(true); }
};

} // namespace

CHECK_CASE(MemoryStatusExtendedSourceReadsTheTrueTotal)
{
    TExtendedSourceAfterwards restore;
    ChooseMemoryStatusSource(true);
    CHECK(UsesExtendedMemoryStatus());

    TSystemMemoryEx system;
    CHECK(QuerySystemMemoryEx(&system));
    int32_t totalMB = TotalPhysicalMB();
    CHECK_EQ(int32_t(system.ullTotalPhys >> 20), totalMB);
    // Where the machine has more than the old call can say (2047 MB), the
    // extended source says it.
    if (system.ullTotalPhys >= (2ull << 30))
        CHECK(totalMB > 2047);

    TMemFigures snapshot = ReadMemStatus();
    CHECK_EQ(system.ullTotalPhys, snapshot.TotalPhys);
    CHECK_EQ(system.ullTotalPageFile, snapshot.TotalPageFile);
    CHECK_EQ(system.ullTotalVirtual, snapshot.TotalVirtual);
    CHECK(Near(system.ullAvailPhys, snapshot.AvailPhys));
    CHECK(Near(system.ullAvailPageFile, snapshot.AvailPageFile));
    CHECK(Near(system.ullAvailVirtual, snapshot.AvailVirtual));
    CHECK(snapshot.AvailPhys <= snapshot.TotalPhys);
    CHECK(snapshot.AvailVirtual <= snapshot.TotalVirtual);
}

CHECK_CASE(MemoryStatusLegacySourceEqualsGlobalMemoryStatus)
{
    TExtendedSourceAfterwards restore;
    ChooseMemoryStatusSource(false);
    CHECK(!UsesExtendedMemoryStatus());

    MEMORYSTATUS system;
    system.dwLength = sizeof system;
    GlobalMemoryStatus(&system);
    int32_t totalMB = TotalPhysicalMB();
    CHECK_EQ(int32_t(system.dwTotalPhys >> 20), totalMB);
    // The old call stops at 2 GiB - 1 for a 32-bit program that is not
    // large-address-aware, so on this machine it reads exactly that; its
    // 64-bit counts in a 64-bit program are the true figures.
    TSystemMemoryEx extended;
    bool large = QuerySystemMemoryEx(&extended) && extended.ullTotalPhys >= (2ull << 30);
#ifdef _WIN64
    if (large)
        CHECK_EQ(int32_t(extended.ullTotalPhys >> 20), totalMB);
#else
    CHECK(totalMB <= 2047);
    if (large)
        CHECK_EQ(2047, totalMB);
#endif

    TMemFigures snapshot = ReadMemStatus();
    CHECK_EQ(system.dwTotalPhys, snapshot.TotalPhys);
    CHECK_EQ(system.dwTotalPageFile, snapshot.TotalPageFile);
    CHECK_EQ(system.dwTotalVirtual, snapshot.TotalVirtual);
    CHECK(Near(system.dwAvailPhys, snapshot.AvailPhys));
    CHECK(Near(system.dwAvailPageFile, snapshot.AvailPageFile));
    CHECK(Near(system.dwAvailVirtual, snapshot.AvailVirtual));

    int32_t used = UsedPhysicalPercent();
    MEMORYSTATUS after;
    after.dwLength = sizeof after;
    GlobalMemoryStatus(&after);
    int before = ExpectedUsedPercent(system.dwTotalPhys, system.dwAvailPhys);
    int later = ExpectedUsedPercent(after.dwTotalPhys, after.dwAvailPhys);
    CHECK(used == before || used == later);
}

CHECK_CASE(MemoryStatusUsedPercentAgreesWithTheFigures)
{
    TExtendedSourceAfterwards restore;
    ChooseMemoryStatusSource(true);
    TSystemMemoryEx before, after;
    CHECK(QuerySystemMemoryEx(&before));
    int32_t used = UsedPhysicalPercent();
    TMemFigures snapshot = ReadMemStatus();
    CHECK(QuerySystemMemoryEx(&after));

    CHECK(used >= 0 && used <= 100);
    CHECK_EQ(ExpectedUsedPercent(snapshot.TotalPhys, snapshot.AvailPhys), used);
    // The snapshot it used is the system's reading of that moment.
    int low = ExpectedUsedPercent(before.ullTotalPhys, before.ullAvailPhys);
    int high = ExpectedUsedPercent(after.ullTotalPhys, after.ullAvailPhys);
    if (low > high) {
        int swap = low;
        low = high;
        high = swap;
    }
    CHECK(used >= low - 1 && used <= high + 1);
}

namespace {

struct TTearing {
    volatile LONG stop;
    LONG torn;
    LONG reads;
};

TMemFigures Uniform(uint64_t value) { return {value, value, value, value, value, value}; }

DWORD WINAPI PublishAlternately(void* parameter)
{
    TTearing* t = static_cast<TTearing*>(parameter);
    for (uint64_t i = 0; !t->stop; ++i)
        PublishMemStatus(Uniform(i & 1 ? 0x1111111111111111ull : 0x2222222222222222ull));
    return 0;
}

} // namespace

CHECK_CASE(MemoryStatusReadersNeverSeeHalfOfTwoRefreshes)
{
    TTearing t = {0, 0, 0};
    PublishMemStatus(Uniform(0x1111111111111111ull));
    HANDLE writers[2];
    for (HANDLE& writer : writers)
        writer = CreateThread(nullptr, 0, PublishAlternately, &t, 0, nullptr);
    for (int i = 0; i < 200000; ++i) {
        TMemFigures f = ReadMemStatus();
        if (f.AvailPhys != f.TotalPhys || f.TotalPageFile != f.TotalPhys ||
            f.AvailPageFile != f.TotalPhys || f.TotalVirtual != f.TotalPhys ||
            f.AvailVirtual != f.TotalPhys)
            ++t.torn;
        ++t.reads;
    }
    t.stop = 1;
    WaitForMultipleObjects(2, writers, TRUE, INFINITE);
    for (HANDLE writer : writers)
        CloseHandle(writer);
    CHECK_EQ(0, t.torn);
    RefreshMemStatus();
}
