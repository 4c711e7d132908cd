// Who this process is: its instance, its main window, its folder and the
// platform it runs on. Set once by start-up, read by every other part.
#pragma once
#include <windows.h>

enum {
    PlatformWin32s = 1,
    PlatformWin9x = 2,
    PlatformNT = 3,
    PlatformOther = -1,
};

extern HINSTANCE HostInstance;
extern HWND MainWindow;
extern char ProgramDir[MAX_PATH]; // ends with "\" (or is empty)
extern int PlatformClass;

int DetectPlatform();
// Fills ProgramDir from the program file's own path.
void FindProgramDir();

// Room for ProgramDir and a bare file name.
enum { kPathBuffer = MAX_PATH + 16 };
// ProgramDir joined with `name`; false, with `out` empty, when it does not
// fit in `size`.
bool ProgramFile(const char* name, char* out, int size);
