// The host's dialogs; at most one is open at a time (CurrentDialog).
// The positions logic/dialogs decides are applied here.
#pragma once
#include <windows.h>
#include <stdint.h>

extern HWND CurrentDialog; // the one open host dialog, 0 when none

void ShowMainDialog();
void ShowInfoDialog();
void ShowMemoryDialog();
void ShowAboutDialog();

// The host dialogs hold progress bars, the modules' dialogs bars and a list
// view. A system that reads no manifest (Windows 95 to 2000) registers
// those classes only once comctl32 is asked to, and a dialog that names an
// unregistered class cannot be created. Every host dialog and every module
// run goes through this first; the classes are registered on the first
// call, not at start-up, which a tray start would pay for without a dialog.
// The library is loaded at that call, so a system without it (none from
// Windows 95 on) would only miss the dialogs.
void RegisterCommonControls();

// A line in the main dialog's status, when it is open.
void ShowMainDialogStatus(const char* text);

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK InfoDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK MemoryDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Moves `window` to the stored position `left`, `top`, size unchanged, no
// repaint requested; kept within the screens there are now.
void PlaceWindow(HWND window, uint16_t left, uint16_t top);
// The window's screen position as the settings keep it.
void StoreWindowPosition(HWND window, uint16_t* left, uint16_t* top);
// Asks the shell to open `target` with its default verb; a result of 32 or
// less shows string `errorId`.
void OpenWithShell(HWND owner, const char* target, UINT errorId);
// True the first time a dialog is shown: the template is visible, so this
// arrives once while the dialog is created.
bool FirstShow(HWND dialog, UINT message, WPARAM wParam);
