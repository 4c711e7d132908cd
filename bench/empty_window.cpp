// The floor for the host's start-up: a program with a hidden window and a
// message loop and nothing else, built like the product (no C runtime).
// Started with "tray" it also puts one icon into the notification area, as
// the host's tray mode must, so that the shell's own cost shows apart.
#include <windows.h>
#include <shellapi.h>

namespace {

bool WithTrayIcon()
{
    const char* line = GetCommandLineA();
    for (; *line; ++line)
        if (line[0] == ' ' && line[1] == 't' && line[2] == 'r' && line[3] == 'a' && line[4] == 'y')
            return true;
    return false;
}

void TrayIcon(HWND window, DWORD action)
{
    NOTIFYICONDATAA data = {};
    data.cbSize = 88; // the first layout, as the host gives it
    data.hWnd = window;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_APP + 1;
    data.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    lstrcpynA(data.szTip, "BrindlecapEmpty", 64);
    Shell_NotifyIconA(action, &data);
}

LRESULT CALLBACK EmptyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

extern "C" void EmptyEntry()
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = EmptyProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "BrindlecapEmpty";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "BrindlecapEmpty", "", 0, 0, 0, 0, 0, 0, 0, instance, 0);
    ShowWindow(window, SW_HIDE);
    bool tray = WithTrayIcon();
    if (tray)
        TrayIcon(window, NIM_ADD);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (tray)
        TrayIcon(window, NIM_DELETE);
    ExitProcess(0);
}
