// The notification-area icon.
#pragma once
#include <windows.h>

extern HICON TrayIconHandle; // the icon the shell was last given

bool AddTrayIcon(HWND window, UINT id, HICON icon, UINT callbackMessage, const char* tip);
bool DeleteTrayIcon(HWND window, UINT id);
