// INFO_DIALOG: memory and processor figures, live while "Мониторинг" is
// checked, optionally above every other window, stuck to the screen edges.
#include <windows.h>
#include <commctrl.h>

#include "logic/appstate.h"
#include "dialogfigures.h"
#include "dialogs.h"
#include "hostenv.h"
#include "inforefresh.h"
#include "memstatus.h"
#include "logic/dialogs.h"
#include "resources/resource.h"
#include "settings.h"

namespace {

const uint16_t kFigureFlags = udPhysical | udPageFile | udVirtual | udUnitRadio;

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void Open(HWND dialog)
{
    RefreshMemStatus();
    // The refresh thread takes its target from CurrentDialog, and this runs
    // inside the dialog's creation, before the opener could set it.
    CurrentDialog = dialog;
    PlaceWindow(dialog, Settings.InfoDialogLeft, Settings.InfoDialogTop);
    if (Settings.InfoMonitoring == 1) {
        CheckDlgButton(dialog, IDC_MONITORING, BST_CHECKED);
        InfoThreadHandle = StartInfoRefresh();
    } else {
        PostMessageA(dialog, WM_COMMAND, IDC_UNIT_MB, 0);
    }
    if (Settings.InfoAlwaysOnTop) {
        CheckDlgButton(dialog, IDC_ON_TOP, BST_CHECKED);
        PostMessageA(dialog, WM_COMMAND, IDC_ON_TOP, 0);
    }
}

void ToggleMonitoring(HWND dialog)
{
    if (Checked(dialog, IDC_MONITORING)) {
        InfoThreadHandle = StartInfoRefresh();
        return;
    }
    // The thread ends by itself once it finds the box unchecked.
    if (InfoThreadHandle)
        CloseHandle(InfoThreadHandle);
    InfoThreadHandle = nullptr;
    SendDlgItemMessageA(dialog, IDC_CPU_PROGRESS, PBM_SETPOS, 0, 0);
    SetDlgItemTextA(dialog, IDC_CPU_TEXT, "");
}

void ApplyOnTop(HWND dialog)
{
    RECT r;
    GetWindowRect(dialog, &r);
    SetWindowPos(dialog, Checked(dialog, IDC_ON_TOP) ? HWND_TOPMOST : HWND_NOTOPMOST, r.left, r.top,
                 r.right - r.left, r.bottom - r.top, SWP_SHOWWINDOW);
}

void Close(HWND dialog)
{
    Settings.InfoMonitoring = Checked(dialog, IDC_MONITORING) ? 1 : 0;
    Settings.InfoAlwaysOnTop = Checked(dialog, IDC_ON_TOP) ? 1 : 0;
    DestroyWindow(dialog);
    if (StartMode == OneShot)
        DestroyWindow(MainWindow);
}

// A move with SWP_NOSIZE carries no size of its own: the window's size is
// what snapping must reckon with then.
void Snap(HWND dialog, WINDOWPOS* proposal)
{
    if (proposal->flags & SWP_NOMOVE)
        return;
    TPlacement p = {proposal->x, proposal->y, proposal->cx, proposal->cy};
    if (proposal->flags & SWP_NOSIZE) {
        RECT r;
        GetWindowRect(dialog, &r);
        p.Width = r.right - r.left;
        p.Height = r.bottom - r.top;
    }
    RECT work;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
        return;
    TArea area = {work.left, work.top, work.right, work.bottom};
    if (SnapToWorkArea(&p, area)) {
        proposal->x = p.X;
        proposal->y = p.Y;
    }
}

// Stopping by a signal, not by TerminateThread: a thread ended by force in
// the middle of a round could leave the processor sampler's or the memory
// status's guard locked for good, and with it the monitor and the tray
// icon. Nothing waits here for the thread, which may itself be waiting on
// this dialog's messages.
void Destroyed(HWND dialog)
{
    StoreWindowPosition(dialog, &Settings.InfoDialogLeft, &Settings.InfoDialogTop);
    StopInfoRefresh();
    if (InfoThreadHandle)
        CloseHandle(InfoThreadHandle);
    InfoThreadHandle = nullptr;
    CurrentDialog = nullptr;
    SaveSettingsFile();
}

} // namespace

INT_PTR CALLBACK InfoDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
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
        case IDC_MONITORING:
            ToggleMonitoring(dialog);
            break;
        case IDC_ON_TOP:
            ApplyOnTop(dialog);
            break;
        case IDC_OK:
            Close(dialog);
            break;
        }
        break;
    case WM_SYSCOMMAND:
        if (wParam == SC_CLOSE)
            PostMessageA(dialog, WM_COMMAND, IDC_OK, 0);
        break;
    case WM_WINDOWPOSCHANGING:
        Snap(dialog, reinterpret_cast<WINDOWPOS*>(lParam));
        break;
    case WM_DESTROY:
        Destroyed(dialog);
        break;
    }
    return 0;
}
