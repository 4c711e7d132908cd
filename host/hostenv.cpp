#include "hostenv.h"

#include "../common/logic/path.h"

HINSTANCE HostInstance;
HWND MainWindow;
char ProgramDir[MAX_PATH];
int PlatformClass;

int DetectPlatform()
{
    OSVERSIONINFOA version;
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version))
        return PlatformOther;
    switch (version.dwPlatformId) {
    case VER_PLATFORM_WIN32s:
        return PlatformWin32s;
    case VER_PLATFORM_WIN32_WINDOWS:
        return PlatformWin9x;
    case VER_PLATFORM_WIN32_NT:
        return PlatformNT;
    default:
        return PlatformOther;
    }
}

void FindProgramDir()
{
    char path[MAX_PATH + 1];
    DWORD n = GetModuleFileNameA(0, path, MAX_PATH);
    path[n < MAX_PATH ? n : MAX_PATH] = 0;
    DirectoryOf(path, ProgramDir, MAX_PATH);
}

bool ProgramFile(const char* name, char* out, int size)
{
    return JoinPath(out, size, ProgramDir, name);
}
