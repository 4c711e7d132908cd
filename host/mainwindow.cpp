#include "mainwindow.h"

#include <shellapi.h>

#include "../common/hostnotify.h"
#include "logic/amounts.h"
#include "cleaner.h"
#include "cleanresult.h"
#include "dialogs.h"
#include "hostenv.h"
#include "hoststrings.h"
#include "memstatus.h"
#include "modules.h"
#include "monitor.h"
#include "resources/resource.h"
#include "settings.h"
#include "handover.h"
#include "tray.h"

UINT TaskbarCreatedMessage;

namespace {

void ShutDown()
{
    // Saved before any wait: at log-off the system ends the process after
    // about five seconds, whatever is still under way.
    SaveSettingsFile();
    UnregisterHotKey(MainWindow, HOTKEY_MAIN);
    UnregisterHotKey(MainWindow, HOTKEY_INFO);
    // No thread cleans or draws past this point: a run under way stops
    // between chunks and gives back what it holds.
    FinishCleaning();
    StopMonitor();
    if (TaskbarCreatedMessage)
        DeleteTrayIcon(MainWindow, 0);
    ReleaseTrayIcon();
    CloseModuleDialogs();
    PostQuitMessage(0);
}

void CleanPercent(int32_t percent)
{
    // On a thread of its own: the tray keeps answering meanwhile.
    RequestCleaningThread(PercentOfTotal(TotalPhysicalMB(), percent), "MANUAL", true);
}

void RunModule(TPluginModule* module)
{
    RegisterCommonControls();
    if (!InitModule(module))
        ShowHostError(IDS_MODULE_INIT_FAILED);
    else if (!ExecuteModule(module))
        ShowHostError(IDS_MODULE_EXECUTE_FAILED);
}

void OpenNewVersionPage()
{
    char address[kStringBuffer];
    LoadHostString(IDS_NEWVERSION_ADDRESS, address);
    OpenWithShell(MainWindow, address, IDS_WEB_FAILED);
}

// False for IDM_EXIT, which must not reach the default procedure of a
// window that no longer exists.
bool MenuCommand(WPARAM id)
{
    if (id < kModuleSlots) {
        if (Modules[id])
            RunModule(Modules[id]);
        return true;
    }
    switch (id) {
    case IDM_ABOUT:
        ShowAboutDialog();
        break;
    case IDM_EXIT:
        // The open dialog goes first, so that its own ending still stores
        // its position.
        if (CurrentDialog)
            DestroyWindow(CurrentDialog);
        DestroyWindow(MainWindow);
        return false;
    case IDM_INFO:
        ShowInfoDialog();
        break;
    case IDM_CLEAN25:
        CleanPercent(25);
        break;
    case IDM_CLEAN50:
        CleanPercent(50);
        break;
    case IDM_CLEAN75:
        CleanPercent(75);
        break;
    case IDM_NEWVERSION:
        OpenNewVersionPage();
        break;
    }
    return true;
}

void HostNotify(WPARAM code, LPARAM slot)
{
    if (code == HOSTNOTIFY_MODULE_CLOSED) {
        if (slot >= 0 && slot < kModuleSlots && Modules[slot])
            ModuleClosed(int(slot));
    } else if (code == HOSTNOTIFY_SETTINGS_CHANGED) {
        LoadSettings();
    }
}

} // namespace

void ShowTrayMenu(HWND window)
{
    HMENU menu = LoadUiMenu(HostInstance, "MAINMENU");
    if (!menu)
        return;
    HMENU popup = GetSubMenu(menu, 0);
    HMENU modules = GetSubMenu(popup, 4);
    POINT cursor = {0, 0};
    GetCursorPos(&cursor);
    // Without this the menu stays open after a click elsewhere.
    SetForegroundWindow(window);
    if (modules)
        AddModulesToMenu(modules);
    TrackPopupMenu(popup, TPM_CENTERALIGN | TPM_LEFTBUTTON, cursor.x, cursor.y, 0, window, nullptr);
    // Lets the menu open again at the next click: the system needs a
    // message to switch the foreground back.
    PostMessageA(window, WM_NULL, 0, 0);
    DestroyMenu(menu);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        ShutDown();
        return 0;
    case WM_COMMAND:
        if (!MenuCommand(wParam))
            return 0;
        break;
    case WM_HOTKEY:
        if (wParam == HOTKEY_MAIN)
            ShowMainDialog();
        else if (wParam == HOTKEY_INFO)
            ShowInfoDialog();
        break;
    case WM_TRAYICON:
        if (wParam == 0 && lParam == WM_LBUTTONDOWN)
            ShowMainDialog();
        else if (wParam == 0 && lParam == WM_RBUTTONDOWN)
            ShowTrayMenu(window);
        break;
    case WM_HOSTNOTIFY:
        HostNotify(wParam, lParam);
        break;
    case WM_ENDSESSION:
        // The system ends the process once this returns: the way out that
        // "Выход" takes, taken now.
        if (wParam)
            DestroyWindow(window);
        return 0;
    case WM_CLEANRESULT:
        if (lParam == kCleaningBusy)
            ShowCleaningBusy();
        else
            ShowCleanResult(int32_t(wParam));
        return 0;
    case WM_COPYDATA:
        if (LRESULT answer = TakeHandOver(reinterpret_cast<const COPYDATASTRUCT*>(lParam)))
            return answer;
        break;
    default:
        if (TaskbarCreatedMessage && message == TaskbarCreatedMessage)
            AddTrayIcon(MainWindow, 0, TrayIconHandle, WM_TRAYICON, "Brindlecap");
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
