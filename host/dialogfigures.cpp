#include "dialogfigures.h"

#include <commctrl.h>

#include "../common/logic/numtext.h"
#include "logic/cleaner.h"
#include "hoststrings.h"
#include "memstatus.h"
#include "resources/resource.h"

namespace {

struct TUnitButton {
    int Button;
    int32_t Unit;
};
const TUnitButton kUnitButtons[] = {
    {IDC_UNIT_BYTES, kUnitBytes},
    {IDC_UNIT_KB, kUnitKB},
    {IDC_UNIT_MB, kUnitMB},
};
const int kUnitCount = sizeof kUnitButtons / sizeof kUnitButtons[0];

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

// Any unit that is not bytes or kilobytes shows as megabytes.
int ButtonOfUnit(int32_t unit)
{
    for (int i = 0; i < kUnitCount - 1; ++i)
        if (kUnitButtons[i].Unit == unit)
            return kUnitButtons[i].Button;
    return kUnitButtons[kUnitCount - 1].Button;
}

// The run holds the thread that would paint the dialog: what a report
// changed, and whatever else waits to be drawn (frames, labels, buttons of
// a dialog that has just shown), is painted at once. Paint only: no input
// is taken, so no key or click can reach the run.
void PaintNow(HWND dialog) { UpdateWindow(dialog); }

// A reading taken just after the run may still be one from during it:
// once kMemoryRepeatDelay has passed the figures are read again.

// Every memory figure `dialog` holds, from a reading taken now.
void ShowFreshReading(HWND dialog, int32_t unit)
{
    RefreshMemStatus();
    uint16_t flags = udPhysical | udPageFile;
    if (GetDlgItem(dialog, IDC_VIRT_TOTAL))
        flags |= udVirtual;
    ShowFigures(dialog, flags, unit);
}

void CALLBACK ShowFreshFigures(HWND dialog, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(dialog, timer);
    ShowFreshReading(dialog, CheckedDisplayUnit(dialog));
}

// The status field of the templates ends this far left of the bar.
enum { kStatusGap = 2 }; // dialog units

// The status field over the bar's room, the bar hidden (`wide`), or back to
// the bar's left edge, the bar shown, where it was widened.
void WidenStatus(HWND dialog, bool wide)
{
    HWND status = GetDlgItem(dialog, IDC_STATUS), bar = GetDlgItem(dialog, IDC_CLEAN_PROGRESS);
    RECT s, b, gap = {0, 0, kStatusGap, 0};
    if (!wide && (GetWindowLongA(bar, GWL_STYLE) & WS_VISIBLE))
        return;
    if (!status || !bar || !GetWindowRect(status, &s) || !GetWindowRect(bar, &b))
        return;
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&s), 2);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&b), 2);
    MapDialogRect(dialog, &gap);
    int right = wide ? b.right : b.left - gap.right;
    MoveWindow(status, s.left, s.top, right - s.left, s.bottom - s.top, TRUE);
    ShowWindow(bar, wide ? SW_HIDE : SW_SHOWNA);
}

void ReportStatus(void* context, int32_t phase)
{
    TCleanView* view = static_cast<TCleanView*>(context);
    TDialogUpdate request = view->Update;
    if (phase == PhaseFilling)
        WidenStatus(request.Dialog, false);
    // A phase shows where the bar stands, when no report painted it yet.
    request.Flags = view->BarBehind ? udStatus | udCleanProgress : udStatus;
    request.Phase = phase;
    view->BarBehind = false;
    UpdateDialog(request);
    // Done: every figure the dialog holds from a fresh reading. The ones
    // shown during the run came from a snapshot taken while it still held
    // its memory.
    if (phase == PhaseDone) {
        ShowFreshReading(request.Dialog, request.DisplayUnit);
        SetTimer(request.Dialog, kFreshFiguresTimer, kMemoryRepeatDelay, ShowFreshFigures);
    }
    PaintNow(request.Dialog);
}

void ReportProgress(void* context, int32_t percent)
{
    TCleanView* view = static_cast<TCleanView*>(context);
    view->Update.Percent = percent;
    view->BarBehind = true;
    if (!ProgressPaintDue(GetTickCount(), view->Pause, &view->LastPaint, &view->Painted))
        return;
    TDialogUpdate request = view->Update;
    request.Flags = udPhysical | udPageFile | udCleanProgress;
    UpdateDialog(request);
    view->BarBehind = false;
    PaintNow(request.Dialog);
    view->Pause = PaintPause(ProgressPaintInterval, GetTickCount() - view->LastPaint);
}

} // namespace

void UpdateDialog(const TDialogUpdate& request)
{
    const TDialogUpdate r = request;
    HWND d = r.Dialog;
    if (r.Flags & udPhysical) {
        // The first three show the snapshot as it stood; the percentage
        // refreshes it (unless udSnapshot), and everything after reads the
        // fresh one.
        TMemFigures before = ReadMemStatus();
        SetFigure(d, IDC_PHYS_TOTAL, before.TotalPhys, r.DisplayUnit);
        SetFigure(d, IDC_PHYS_FREE, before.AvailPhys, r.DisplayUnit);
        SetFigure(d, IDC_PHYS_USED, UsedBytes(before.TotalPhys, before.AvailPhys), r.DisplayUnit);
        SetNumber(d, IDC_PHYS_PERCENT,
                  (r.Flags & udSnapshot) ? UsedPercentOf(before) : UsedPhysicalPercent(), "");
    }
    TMemFigures now = {};
    if (r.Flags & (udPageFile | udVirtual))
        now = ReadMemStatus();
    if (r.Flags & udPageFile) {
        SetFigure(d, IDC_PAGE_TOTAL, now.TotalPageFile, r.DisplayUnit);
        SetFigure(d, IDC_PAGE_FREE, now.AvailPageFile, r.DisplayUnit);
        SetFigure(d, IDC_PAGE_USED, UsedBytes(now.TotalPageFile, now.AvailPageFile), r.DisplayUnit);
    }
    if (r.Flags & udVirtual) {
        SetFigure(d, IDC_VIRT_TOTAL, now.TotalVirtual, r.DisplayUnit);
        SetFigure(d, IDC_VIRT_FREE, now.AvailVirtual, r.DisplayUnit);
        SetFigure(d, IDC_VIRT_USED, UsedBytes(now.TotalVirtual, now.AvailVirtual), r.DisplayUnit);
    }
    if (r.Flags & udUnitRadio)
        CheckRadioButton(d, kUnitButtons[0].Button, kUnitButtons[kUnitCount - 1].Button,
                         ButtonOfUnit(r.DisplayUnit));
    if (r.Flags & udStatus) {
        char text[kStringBuffer];
        LoadHostString(UINT(r.Phase + IDS_PHASE_BASE), text);
        SetDlgItemTextA(d, IDC_STATUS, text);
    }
    if (r.Flags & udCleanProgress)
        SendDlgItemMessageA(d, IDC_CLEAN_PROGRESS, PBM_SETPOS, WPARAM(r.Percent), 0);
    if (r.Flags & udCpuLoad) {
        SendDlgItemMessageA(d, IDC_CPU_PROGRESS, PBM_SETPOS, WPARAM(r.Percent), 0);
        SetNumber(d, IDC_CPU_TEXT, r.Percent, " %");
    }
}

int32_t CheckedDisplayUnit(HWND dialog)
{
    for (int i = 0; i < kUnitCount - 1; ++i)
        if (IsDlgButtonChecked(dialog, kUnitButtons[i].Button) == BST_CHECKED)
            return kUnitButtons[i].Unit;
    return kUnitButtons[kUnitCount - 1].Unit;
}

int32_t UnitOfButton(WPARAM command)
{
    for (int i = 0; i < kUnitCount; ++i)
        if (command == WPARAM(kUnitButtons[i].Button))
            return kUnitButtons[i].Unit;
    return 0;
}

void ShowFigures(HWND dialog, uint16_t flags, int32_t unit)
{
    TDialogUpdate request = {};
    request.Flags = flags;
    request.Dialog = dialog;
    request.DisplayUnit = unit;
    UpdateDialog(request);
}

uint32_t ProgressPaintInterval = kProgressPaintInterval;

TCleanReporter CleanReporterFor(HWND dialog, int32_t unit, TCleanView* storage)
{
    *storage = TCleanView();
    storage->Update.Dialog = dialog;
    storage->Update.DisplayUnit = unit;
    storage->Pause = ProgressPaintInterval;
    TCleanReporter reporter = {storage, ReportStatus, ReportProgress};
    return reporter;
}

void ShowStatusLine(HWND dialog, const char* text)
{
    WidenStatus(dialog, true);
    SetDlgItemTextA(dialog, IDC_STATUS, text);
}
