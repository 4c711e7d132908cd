#include "memstatus.h"

namespace {

typedef BOOL(WINAPI* TGlobalMemoryStatusEx)(TMemoryStatusEx*);
TGlobalMemoryStatusEx QueryExtended;

bool ReadExtended(TMemFigures* figures)
{
    TMemoryStatusEx status;
    status.dwLength = sizeof status;
    if (!QueryExtended || !QueryExtended(&status))
        return false;
    figures->TotalPhys = status.ullTotalPhys;
    figures->AvailPhys = status.ullAvailPhys;
    figures->TotalPageFile = status.ullTotalPageFile;
    figures->AvailPageFile = status.ullAvailPageFile;
    figures->TotalVirtual = status.ullTotalVirtual;
    figures->AvailVirtual = status.ullAvailVirtual;
    return true;
}

void ReadLegacy(TMemFigures* figures)
{
    MEMORYSTATUS status;
    status.dwLength = 32;
    GlobalMemoryStatus(&status);
    figures->TotalPhys = status.dwTotalPhys;
    figures->AvailPhys = status.dwAvailPhys;
    figures->TotalPageFile = status.dwTotalPageFile;
    figures->AvailPageFile = status.dwAvailPageFile;
    figures->TotalVirtual = status.dwTotalVirtual;
    figures->AvailVirtual = status.dwAvailVirtual;
}

} // namespace

void ChooseMemoryStatusSource(bool allowExtended)
{
    QueryExtended = nullptr;
    if (!allowExtended)
        return;
    HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
    if (kernel)
        QueryExtended =
            (TGlobalMemoryStatusEx)(void*)GetProcAddress(kernel, "GlobalMemoryStatusEx");
}

bool UsesExtendedMemoryStatus() { return QueryExtended != nullptr; }

void RefreshMemStatus()
{
    TMemFigures figures;
    if (!ReadExtended(&figures))
        ReadLegacy(&figures);
    PublishMemStatus(figures);
}

int32_t TotalPhysicalMB()
{
    RefreshMemStatus();
    return WholeMB(ReadMemStatus().TotalPhys);
}

int32_t FreePhysicalMB()
{
    RefreshMemStatus();
    return WholeMB(ReadMemStatus().AvailPhys);
}

std::atomic<bool> MemoryWatched;

int32_t UsedPhysicalPercent()
{
    RefreshMemStatus();
    return UsedPercentOf(ReadMemStatus());
}
