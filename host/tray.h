// The notification-area icon.
#pragma once
#include <windows.h>

extern HICON TrayIconHandle; // the icon the shell was last given

bool AddTrayIcon(HWND window, UINT id, HICON icon, UINT callbackMessage, const char* tip);
bool ModifyTrayIcon(HWND window, UINT id, HICON icon, UINT callbackMessage, const char* tip);
bool DeleteTrayIcon(HWND window, UINT id);

// Draws the picture of `mode` and makes it TrayIconHandle.
void RenderTrayIcon(int mode);
// Once a second from the monitor: redraw and hand the icon to the shell,
// unless TrayIconMode is 0.
void RefreshTrayIcon();
// Shutdown: destroys TrayIconHandle once, when it is a drawn icon (the
// program's own, loaded shared, belongs to the module). The monitor thread,
// which keeps drawing until the process ends, never releases the same icon
// again: a drawn icon changes hands only by one atomic exchange.
void ReleaseTrayIcon();
