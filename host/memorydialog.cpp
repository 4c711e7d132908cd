// MEMORY_DIALOG: the progress of a cleaning run asked for on the command
// line. Its "Ok" ends a program started for that run alone; a resident one,
// which a second start handed the run, stays.
#include <windows.h>
#include <commctrl.h>

#include "../common/centerwindow.h"
#include "dialogs.h"
#include "resources/resource.h"
#include "hostenv.h"
#include "logic/appstate.h"

INT_PTR CALLBACK MemoryDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        CenterWindow(dialog);
        SendDlgItemMessageA(dialog, IDC_CLEAN_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        break;
    case WM_COMMAND:
        if (wParam == IDC_OK) {
            DestroyWindow(dialog);
            if (StartMode == OneShot)
                DestroyWindow(MainWindow);
        }
        break;
    case WM_SYSCOMMAND:
        if (wParam == SC_CLOSE)
            PostMessageA(dialog, WM_COMMAND, IDC_OK, 0);
        break;
    case WM_DESTROY:
        CurrentDialog = nullptr;
        break;
    }
    return 0;
}
