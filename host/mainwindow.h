// The hidden main window: target of hot keys, tray and module messages; its
// destruction is the program's one way out.
#pragma once
#include <windows.h>

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Loads the tray menu afresh, lists the modules and tracks it at the cursor;
// returns when the menu closes.
void ShowTrayMenu(HWND window);
