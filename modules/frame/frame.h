// The frame every module library is built on: the five exports the host
// calls, the values Init hands over, and the one modeless dialog.
#pragma once
#include <windows.h>
#include <stdint.h>

// Kept from Init for as long as the library stays loaded.
extern HWND HostWindow;     // the host's main window: owner and notify target
extern int32_t ModuleIndex; // the slot the host gave us, handed back on close
extern char* HostDirectory; // our own copy, ends with "\"; 0 before Init
extern HINSTANCE ModuleInstance;

// What each module supplies to the frame.
extern const char ModuleName[];      // GetName: the host's menu caption
extern const int32_t ModulePlatform; // ExecWinVer: 1 any, 2 Windows 9x, 3 NT
// The dialog's own handling; the frame's procedure returns 0 for every
// message, so default dialog handling always follows.
void ModuleInitDialog(HWND dialog);
void ModuleCommand(HWND dialog, WPARAM wParam, LPARAM lParam);
// Before the closing notification goes to the host.
void ModuleDestroy(HWND dialog);
// The library is being unloaded: release whatever the module still holds.
void ModuleUnload();

// The module's error box: no owner, the caption, the error icon, OK; the
// text is string `id` of the module's own table.
void ShowModuleError(UINT id, const char* caption);
