// MAIN_DIALOG: memory figures, a cleaning of a chosen amount, and the way
// out of the program.
#include <windows.h>
#include <commctrl.h>

#include "../common/logic/numtext.h"
#include "logic/amounts.h"
#include "cleaner.h"
#include "monitor.h"
#include "dialogfigures.h"
#include "dialogs.h"
#include "hostenv.h"
#include "hoststrings.h"
#include "memstatus.h"
#include "resources/resource.h"
#include "settings.h"

namespace {

const uint16_t kFigureFlags = udPhysical | udPageFile | udUnitRadio;

// The open main dialog, 0 when none.
HWND OpenMainDialog;

// Once a second the figures follow the snapshot the monitor refreshes, and
// only when it has moved since they were shown.
enum { kFollowPeriod = 1000 };
TMemFigures Followed;

void Follow(HWND dialog)
{
    // Without a monitor the dialog reads for itself.
    if (!MonitorThreadHandle)
        RefreshMemStatus();
    TMemFigures now = ReadMemStatus();
    if (now.AvailPhys == Followed.AvailPhys && now.AvailPageFile == Followed.AvailPageFile)
        return;
    Followed = now;
    ShowFigures(dialog, udPhysical | udPageFile | udSnapshot, CheckedDisplayUnit(dialog));
}

void FillAmounts(HWND dialog)
{
    int32_t count = ComboAmountCount(WholeMB(ReadMemStatus().TotalPhys));
    char text[12];
    for (int32_t i = 0; i < count; ++i) {
        FormatDecimal(ComboAmount(i), text);
        SendDlgItemMessageA(dialog, IDC_AMOUNT, CB_ADDSTRING, 0, LPARAM(text));
    }
    FormatDecimal(Settings.ManualCleanAmount, text);
    SetDlgItemTextA(dialog, IDC_AMOUNT, text);
}

void Open(HWND dialog)
{
    PlaceWindow(dialog, Settings.MainDialogLeft, Settings.MainDialogTop);
    SendDlgItemMessageA(dialog, IDC_CLEAN_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    RefreshMemStatus();
    ShowFigures(dialog, kFigureFlags, kUnitMB);
    Followed = ReadMemStatus();
    FillAmounts(dialog);
    OpenMainDialog = dialog;
    MemoryWatched = true;
    SetTimer(dialog, kFollowTimer, kFollowPeriod, nullptr);
}

// The box's whole text, however long: leading zeros make a number no
// larger, and a cut copy of a long text would read as another number.
bool ReadAmountBox(HWND dialog, uint16_t* amount)
{
    HWND box = GetDlgItem(dialog, IDC_AMOUNT);
    int length = GetWindowTextLengthA(box);
    HANDLE heap = GetProcessHeap();
    char* text = static_cast<char*>(HeapAlloc(heap, 0, DWORD(length) + 1));
    if (!text)
        return false;
    text[0] = 0;
    GetWindowTextA(box, text, length + 1);
    bool taken = ReadCleanAmount(text, amount);
    HeapFree(heap, 0, text);
    return taken;
}

void Clean(HWND dialog)
{
    int32_t unit = CheckedDisplayUnit(dialog);
    uint16_t amount;
    if (!ReadAmountBox(dialog, &amount)) {
        // Not a number: nothing runs, and the box offers the last amount.
        char text[12];
        FormatDecimal(Settings.ManualCleanAmount, text);
        SetDlgItemTextA(dialog, IDC_AMOUNT, text);
        return;
    }
    Settings.ManualCleanAmount = amount;
    TCleanView progress;
    TCleanReporter reporter = CleanReporterFor(dialog, unit, &progress);
    RequestCleaning(Settings.ManualCleanAmount, "MANUAL", &reporter, true);
}

// Owned by the dialog, which it disables meanwhile: it stays in front of
// it, and no second question comes from a command that still reaches the
// dialog.
void AskExit(HWND dialog)
{
    static bool asking;
    if (asking)
        return;
    char question[kStringBuffer];
    LoadHostString(IDS_ASK_EXIT, question);
    asking = true;
    int answer =
        MessageBoxA(dialog, question, "Brindlecap", MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION);
    asking = false;
    if (answer != IDYES || !IsWindow(dialog))
        return;
    DestroyWindow(dialog);
    DestroyWindow(MainWindow);
}

} // namespace

void ShowMainDialogStatus(const char* text)
{
    if (OpenMainDialog)
        ShowStatusLine(OpenMainDialog, text);
}

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (FirstShow(dialog, message, wParam)) {
        Open(dialog);
        return 0;
    }
    switch (message) {
    case WM_COMMAND:
        switch (wParam) {
        case IDC_UNIT_BYTES:
        case IDC_UNIT_KB:
        case IDC_UNIT_MB:
            ShowFigures(dialog, kFigureFlags, UnitOfButton(wParam));
            break;
        case IDC_OK:
            Clean(dialog);
            break;
        case IDC_EXIT:
            AskExit(dialog);
            break;
        case IDC_HIDE:
            DestroyWindow(dialog);
            break;
        }
        break;
    case WM_TIMER:
        if (wParam == kFollowTimer)
            Follow(dialog);
        break;
    case WM_SYSCOMMAND:
        if (wParam == SC_CLOSE)
            DestroyWindow(dialog);
        break;
    case WM_DESTROY:
        KillTimer(dialog, kFollowTimer);
        MemoryWatched = false;
        OpenMainDialog = nullptr;
        StoreWindowPosition(dialog, &Settings.MainDialogLeft, &Settings.MainDialogTop);
        SaveSettingsFile();
        CurrentDialog = nullptr;
        break;
    }
    return 0;
}
