#include "mainwindow.h"

#include "../common/hostnotify.h"
#include "appstate.h"
#include "modules.h"
#include "monitor.h"
#include "resources/resource.h"
#include "settings.h"
#include "startup.h"
#include "strings.h"
#include "tray.h"

static void ShutDown()
{
    UnregisterHotKey(MainWindow, HOTKEY_MAIN);
    UnregisterHotKey(MainWindow, HOTKEY_INFO);
    if (AppState.load() == Resident)
        DeleteTrayIcon(MainWindow, 0);
    ReleaseTrayIcon();
    if (MonitorThreadHandle)
        CloseHandle(MonitorThreadHandle);
    UnloadModules();
    char path[kPathBuffer];
    SettingsPath(path);
    SaveSettings(path);
    PostQuitMessage(0);
}

// A pick in the "Модули" submenu: the command id is the slot index.
static void RunModuleCommand(int slot)
{
    TPluginModule* module = Modules[slot];
    if (!InitModule(module))
        ShowHostError(IDS_MODULE_INIT_FAILED);
    else if (!ExecuteModule(module))
        ShowHostError(IDS_MODULE_EXECUTE_FAILED);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        ShutDown();
        return 0;
    case WM_COMMAND:
        if (wParam < kModuleSlots && Modules[wParam])
            RunModuleCommand(int(wParam));
        break;
    case WM_HOSTNOTIFY:
        if (wParam == HOSTNOTIFY_MODULE_CLOSED)
            ModuleClosed(int(lParam));
        else if (wParam == HOSTNOTIFY_SETTINGS_CHANGED)
            LoadSettings();
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
