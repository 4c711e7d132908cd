#include "memstatus.h"

#include "../../common/lock.h"
#include "../../common/logic/rounding.h"

namespace {
TLock MemStatusLock;
TMemFigures MemStatus;
} // namespace

uint64_t FigureInUnit(uint64_t bytes, int32_t unit)
{
    return unit < 1 ? bytes : bytes / uint64_t(unit);
}

uint64_t UsedBytes(uint64_t total, uint64_t available)
{
    return available > total ? 0 : total - available;
}

int32_t WholeMB(uint64_t bytes)
{
    uint64_t mb = bytes >> 20;
    return mb > 0x7FFFFFFFu ? 0x7FFFFFFF : int32_t(mb);
}

int32_t UsedPercentOf(const TMemFigures& figures)
{
    uint32_t totalMB = uint32_t(WholeMB(figures.TotalPhys));
    if (totalMB == 0)
        return 0;
    uint32_t freeMB = uint32_t(WholeMB(figures.AvailPhys));
    return 100 - RoundRatio(uint32_t(freeMB * 100u), totalMB);
}

void InitMemStatus() { InitLock(&MemStatusLock); }

void PublishMemStatus(const TMemFigures& figures)
{
    Lock(&MemStatusLock);
    MemStatus = figures;
    Unlock(&MemStatusLock);
}

TMemFigures ReadMemStatus()
{
    Lock(&MemStatusLock);
    TMemFigures copy = MemStatus;
    Unlock(&MemStatusLock);
    return copy;
}
