// The frame every module library is built on: the five exports the host
// calls, the values Init hands over, and the one modeless dialog.
#pragma once
#include <windows.h>
#include <stdint.h>

// The plug-in contract. A module library exports these five functions,
// stdcall with undecorated names (frame.def), and the host binds them by
// name. GetName gives the menu caption; ExecWinVer the platform code (1 any,
// 2 Windows 9x, 3 NT); Init hands over the host's main window, the slot
// index and the host's folder (ending with "\"); Execute shows the module's
// one modeless dialog and returns it, or 0 when it made none. When that
// dialog is destroyed the module posts WM_HOSTNOTIFY with
// HOSTNOTIFY_MODULE_CLOSED and its slot (common/hostnotify.h) to the host's
// window, and the host then unloads the library.
typedef const char*(__stdcall* TGetName)();
typedef const char*(__stdcall* TGetDescription)();
typedef int32_t(__stdcall* TExecWinVer)();
typedef void(__stdcall* TInit)(HWND hostWindow, int32_t moduleIndex, const char* hostDirectory);
typedef HWND(__stdcall* TExecute)();

// Kept from Init for as long as the library stays loaded.
extern HWND HostWindow;     // the host's main window: owner and notify target
extern int32_t ModuleIndex; // the slot the host gave us, handed back on close
extern char* HostDirectory; // our own copy, ends with "\"; 0 before Init
extern HINSTANCE ModuleInstance;

// What each module supplies to the frame. Its name and description are
// texts IDS_MODULE_NAME and IDS_MODULE_DESCRIPTION of its own text tables
// (common/textids.h), the caption of its dialog IDT_CAPTION.
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
// text is string `id` of the module's own table, in the UI's language.
void ShowModuleError(UINT id, const char* caption);
