// The hidden main window: target of hot keys, tray and module messages; its
// destruction is the program's one way out.
#pragma once
#include <windows.h>

enum {
    HOTKEY_MAIN = 400, // Alt+Ctrl+F12
    HOTKEY_INFO = 402, // Alt+Ctrl+F11
};

// "TaskbarCreated", registered by the tray mode; 0 outside it.
extern UINT TaskbarCreatedMessage;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Loads the tray menu afresh, lists the modules and tracks it at the cursor;
// returns when the menu closes.
void ShowTrayMenu(HWND window);
