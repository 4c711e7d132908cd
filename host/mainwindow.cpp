#include "mainwindow.h"

#include "appstate.h"
#include "modules.h"
#include "monitor.h"
#include "settings.h"
#include "startup.h"
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

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        ShutDown();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
