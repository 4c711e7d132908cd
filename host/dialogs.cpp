#include "dialogs.h"

#include <commctrl.h>
#include <shellapi.h>

#include "../common/language.h"
#include "hostenv.h"
#include "hoststrings.h"
#include "logic/dialogs.h"
#include "resources/resource.h"

HWND CurrentDialog;

namespace {

// The virtual screen's metrics, which the headers of the Windows version the
// host is built for do not name.
enum {
    kSmXVirtualScreen = 76,
    kSmYVirtualScreen = 77,
    kSmCxVirtualScreen = 78,
    kSmCyVirtualScreen = 79,
};

void OpenDialog(const char* name, DLGPROC procedure, UINT errorId)
{
    if (!CurrentDialog) {
        RegisterCommonControls();
        HWND dialog = CreateUiDialog(HostInstance, name, MainWindow, procedure);
        if (!dialog) {
            ShowHostError(errorId);
            return;
        }
        CurrentDialog = dialog;
    }
    // A question the dialog is asking stays in front of it.
    SetForegroundWindow(GetLastActivePopup(CurrentDialog));
}

// The desktop across every monitor; Windows 95 knows no such metric and
// answers 0, which leaves the primary screen.
TArea DesktopArea()
{
    TArea area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    int width = GetSystemMetrics(kSmCxVirtualScreen);
    int height = GetSystemMetrics(kSmCyVirtualScreen);
    if (width > 0 && height > 0) {
        area.Left = GetSystemMetrics(kSmXVirtualScreen);
        area.Top = GetSystemMetrics(kSmYVirtualScreen);
        area.Right = area.Left + width;
        area.Bottom = area.Top + height;
    }
    return area;
}

} // namespace

void RegisterCommonControls()
{
    // Only the main thread creates dialogs, the modules' included.
    static bool registered;
    if (registered)
        return;
    registered = true;
    // Loaded here, and kept for the program's life, rather than imported:
    // an import would load the library, and register every class, at each
    // start, which a resident start that opens no dialog pays in time and
    // memory (most of its start-up under Wine).
    typedef void(WINAPI * TInitCommonControls)();
    HMODULE controls = LoadLibraryA("COMCTL32.DLL");
    TInitCommonControls init =
        controls ? (TInitCommonControls)(void*)GetProcAddress(controls, "InitCommonControls")
                 : nullptr;
    if (init)
        init();
}

void ShowMainDialog() { OpenDialog("MAIN_DIALOG", MainDialogProc, IDS_MAIN_DIALOG_FAILED); }
void ShowInfoDialog() { OpenDialog("INFO_DIALOG", InfoDialogProc, IDS_INFO_DIALOG_FAILED); }
void ShowMemoryDialog() { OpenDialog("MEMORY_DIALOG", MemoryDialogProc, IDS_MEMORY_DIALOG_FAILED); }
void ShowAboutDialog() { OpenDialog("ABOUT_DIALOG", AboutDialogProc, IDS_ABOUT_DIALOG_FAILED); }

void PlaceWindow(HWND window, uint16_t left, uint16_t top)
{
    RECT r;
    if (!GetWindowRect(window, &r))
        return;
    TPlacement p = {StoredCoordinate(left), StoredCoordinate(top), r.right - r.left,
                    r.bottom - r.top};
    KeepOnScreen(&p, DesktopArea());
    MoveWindow(window, p.X, p.Y, p.Width, p.Height, FALSE);
}

void StoreWindowPosition(HWND window, uint16_t* left, uint16_t* top)
{
    RECT r;
    if (!GetWindowRect(window, &r))
        return;
    *left = uint16_t(r.left);
    *top = uint16_t(r.top);
}

void OpenWithShell(HWND owner, const char* target, UINT errorId)
{
    HINSTANCE result = ShellExecuteA(owner, nullptr, target, nullptr, nullptr, SW_SHOW);
    if (INT_PTR(result) <= 32)
        ShowHostError(errorId);
}

bool FirstShow(HWND dialog, UINT message, WPARAM wParam)
{
    if (message != WM_SHOWWINDOW || !wParam || GetWindowLongPtrA(dialog, DWLP_USER))
        return false;
    SetWindowLongPtrA(dialog, DWLP_USER, 1);
    return true;
}
