// The floor for the host's start-up: a program with a hidden window and a
// message loop and nothing else, built like the product (no C runtime).
#include <windows.h>

namespace {

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
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    ExitProcess(0);
}
