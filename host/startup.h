// Start-up and the message loop; the process-wide state of the host.
#pragma once
#include <windows.h>

enum {
    HOTKEY_MAIN = 400, // Alt+Ctrl+F12
    HOTKEY_INFO = 402, // Alt+Ctrl+F11
};

enum {
    PlatformWin32s = 1,
    PlatformWin9x = 2,
    PlatformNT = 3,
    PlatformOther = -1,
};

extern HINSTANCE HostInstance;
extern HWND MainWindow;
extern HWND CurrentDialog;        // the one open host dialog, 0 when none
extern char ProgramDir[MAX_PATH]; // ends with "\" (or is empty)
extern int PlatformClass;
extern UINT TaskbarCreatedMessage; // 0 outside the tray mode

int DetectPlatform();
void SetLowPriority();
// Room for ProgramDir and a bare file name.
enum { kPathBuffer = MAX_PATH + 16 };
// ProgramDir + name, cut to fit `size`.
void ProgramFile(const char* name, char* out, int size);

// The whole life of the program; returns its exit code (always 0).
int RunHost(const char* commandLine);
