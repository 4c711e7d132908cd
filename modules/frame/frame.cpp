#include "frame.h"

#include "../../common/hostnotify.h"
#include "../../common/language.h"
#include "../../common/logic/text.h"

HWND HostWindow;
int32_t ModuleIndex;
char* HostDirectory;
HINSTANCE ModuleInstance;

// GetName's and GetDescription's answers, good until the next call. Room
// for more than a host shows: cutting a name is the host's part.
enum { kTextBuffer = 1024 };
static char Name[kTextBuffer], Description[kTextBuffer];

static void FreeHostDirectory()
{
    if (HostDirectory)
        HeapFree(GetProcessHeap(), 0, HostDirectory);
    HostDirectory = nullptr;
}

// Tab follows the reading order, and Enter presses the default button. A
// push button that comes first in that order would take the focus, and
// with it Enter: the focus starts on the default button instead.
static void FocusDefaultButton(HWND dialog)
{
    HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
    if (!first || !(SendMessageA(first, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON))
        return;
    LRESULT button = SendMessageA(dialog, DM_GETDEFID, 0, 0);
    if (HIWORD(button) == DC_HASDEFID)
        SetFocus(GetDlgItem(dialog, LOWORD(button)));
}

static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        ModuleInitDialog(dialog);
        FocusDefaultButton(dialog);
        break;
    case WM_COMMAND:
        ModuleCommand(dialog, wParam, lParam);
        break;
    case WM_SYSCOMMAND:
        if (wParam == SC_CLOSE)
            DestroyWindow(dialog);
        break;
    case WM_DESTROY:
        ModuleDestroy(dialog);
        PostMessageA(HostWindow, WM_HOSTNOTIFY, HOSTNOTIFY_MODULE_CLOSED, LPARAM(ModuleIndex));
        break;
    }
    return FALSE;
}

void ShowModuleError(UINT id, const char* caption)
{
    char text[100];
    LoadUiString(ModuleInstance, id, text, 99);
    MessageBoxA(0, text, caption, MB_OK | MB_ICONERROR);
}

extern "C" {

// The exports keep the system's calling convention and undecorated names
// (the .def file and --kill-at): the host binds them by name.
__stdcall const char* GetName()
{
    LoadUiString(ModuleInstance, IDS_MODULE_NAME, Name, kTextBuffer);
    return Name;
}

__stdcall const char* GetDescription()
{
    LoadUiString(ModuleInstance, IDS_MODULE_DESCRIPTION, Description, kTextBuffer);
    return Description;
}

__stdcall void Init(HWND hostWindow, int32_t moduleIndex, const char* hostDirectory)
{
    HostWindow = hostWindow;
    ModuleIndex = moduleIndex;
    FreeHostDirectory();
    if (!hostDirectory)
        hostDirectory = "";
    int size = TextLength(hostDirectory) + 1;
    HostDirectory = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, DWORD(size)));
    if (HostDirectory)
        CopyText(HostDirectory, size, hostDirectory);
}

__stdcall HWND Execute()
{
    HWND dialog = CreateUiDialog(ModuleInstance, "MAIN_DIALOG", HostWindow, DialogProc);
    if (dialog)
        SetForegroundWindow(dialog);
    return dialog;
}

__stdcall int32_t ExecWinVer() { return ModulePlatform; }

// No C runtime starts a module: loading it only notes the instance, so the
// host's scan can load and free it without effect.
__stdcall BOOL DllEntry(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        ModuleInstance = instance;
    } else if (reason == DLL_PROCESS_DETACH) {
        ModuleUnload();
        FreeHostDirectory();
    }
    return TRUE;
}

} // extern "C"
