#include "memstatus.h"

#include <commctrl.h>

#include "../common/numtext.h"
#include "resources/resource.h"
#include "strings.h"

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

void SetFigure(HWND dialog, int id, uint64_t bytes, int32_t unit)
{
    char text[21];
    FormatUnsigned(FigureInUnit(bytes, unit), text);
    SetDlgItemTextA(dialog, id, text);
}

void SetNumber(HWND dialog, int id, int32_t value, const char* suffix)
{
    char text[16];
    int n = FormatDecimal(value, text);
    for (int i = 0; suffix[i] && n < 15; ++i)
        text[n++] = suffix[i];
    text[n] = 0;
    SetDlgItemTextA(dialog, id, text);
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

int32_t UsedPhysicalPercent()
{
    RefreshMemStatus();
    return UsedPercentOf(ReadMemStatus());
}

void UpdateDialog(const TDialogUpdate& request)
{
    const TDialogUpdate r = request;
    HWND d = r.Dialog;
    if (r.Flags & udPhysical) {
        // The first three show the snapshot as it stood; the percentage
        // refreshes it, and everything after reads the fresh one.
        TMemFigures before = ReadMemStatus();
        SetFigure(d, 1001, before.TotalPhys, r.DisplayUnit);
        SetFigure(d, 1002, before.AvailPhys, r.DisplayUnit);
        SetFigure(d, 1003, UsedBytes(before.TotalPhys, before.AvailPhys), r.DisplayUnit);
        SetNumber(d, 1004, UsedPhysicalPercent(), "");
    }
    TMemFigures now = {};
    if (r.Flags & (udPageFile | udVirtual))
        now = ReadMemStatus();
    if (r.Flags & udPageFile) {
        SetFigure(d, 1005, now.TotalPageFile, r.DisplayUnit);
        SetFigure(d, 1006, now.AvailPageFile, r.DisplayUnit);
        SetFigure(d, 1007, UsedBytes(now.TotalPageFile, now.AvailPageFile), r.DisplayUnit);
    }
    if (r.Flags & udVirtual) {
        SetFigure(d, 1008, now.TotalVirtual, r.DisplayUnit);
        SetFigure(d, 1009, now.AvailVirtual, r.DisplayUnit);
        SetFigure(d, 1010, UsedBytes(now.TotalVirtual, now.AvailVirtual), r.DisplayUnit);
    }
    if (r.Flags & udUnitRadio) {
        int button = r.DisplayUnit == 1 ? 100 : r.DisplayUnit == 1024 ? 101 : 102;
        CheckRadioButton(d, 100, 102, button);
    }
    if (r.Flags & udStatus) {
        char text[kStringBuffer];
        LoadHostString(UINT(r.Phase + IDS_PHASE_BASE), text);
        SetDlgItemTextA(d, 1011, text);
    }
    if (r.Flags & udCleanProgress)
        SendDlgItemMessageA(d, 300, PBM_SETPOS, WPARAM(r.Percent), 0);
    if (r.Flags & udCpuLoad) {
        SendDlgItemMessageA(d, 301, PBM_SETPOS, WPARAM(r.Percent), 0);
        SetNumber(d, 1012, r.Percent, " %");
    }
}
