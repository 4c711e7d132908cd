// The floor under the resident host's one-second tick: a program that makes
// exactly the drawing and shell calls of a tray icon showing a number, once
// a second on a thread of its own, and nothing else. Built like the
// product: no C runtime, idle priority.
#include <windows.h>
#include <shellapi.h>

namespace {

HWND Window;
HICON Icon;

struct TNotifyIconData {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    char szTip[64];
};

void Notify(DWORD action)
{
    TNotifyIconData data;
    char* bytes = reinterpret_cast<char*>(&data);
    for (unsigned i = 0; i < sizeof data; ++i)
        bytes[i] = 0;
    data.cbSize = sizeof data;
    data.hWnd = Window;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_APP + 1;
    data.hIcon = Icon;
    lstrcpynA(data.szTip, "Brindlecap", 64);
    Shell_NotifyIconA(action, reinterpret_cast<NOTIFYICONDATAA*>(&data));
}

void Box(HDC dc, int top, int bottom, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    HGDIOBJ old = SelectObject(dc, brush);
    PatBlt(dc, 0, top, 16, bottom - top, PATCOPY);
    SelectObject(dc, old);
    DeleteObject(brush);
}

void Draw(int value)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP colour = CreateBitmap(16, 16, 1, GetDeviceCaps(dc, BITSPIXEL), nullptr);
    HBITMAP mask = CreateBitmap(16, 16, 1, 1, nullptr);
    HGDIOBJ original = SelectObject(dc, mask);
    PatBlt(dc, 0, 0, 16, 16, BLACKNESS);
    SelectObject(dc, colour);
    Box(dc, 0, 16, RGB(192, 192, 192));
    Box(dc, 3, 13, RGB(0, 255, 0));
    SetTextColor(dc, 0);
    SetBkColor(dc, RGB(0, 255, 0));
    SetBkMode(dc, TRANSPARENT);
    HFONT font = CreateFontA(11, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 2, "Small Fonts");
    HGDIOBJ oldFont = SelectObject(dc, font);
    char digits[4] = {char('0' + value / 10), char('0' + value % 10), 0, 0};
    TextOutA(dc, 1, 3, digits, 2);
    SelectObject(dc, oldFont);
    DeleteObject(font);
    SelectObject(dc, original);
    ICONINFO info = {TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&info);
    if (Icon)
        DestroyIcon(Icon);
    Icon = icon;
    DeleteObject(colour);
    DeleteObject(mask);
    DeleteDC(dc);
}

DWORD WINAPI Ticks(LPVOID)
{
    for (int tick = 0;; ++tick) {
        Draw(tick % 100);
        Notify(NIM_MODIFY);
        Sleep(1000);
    }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        Notify(NIM_DELETE);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

extern "C" void BareEntry()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "BrindlecapBare";
    RegisterClassA(&windowClass);
    Window =
        CreateWindowExA(0, "BrindlecapBare", "", 0, 0, 0, 0, 0, 0, 0, windowClass.hInstance, 0);
    SetPriorityClass(GetCurrentProcess(), IDLE_PRIORITY_CLASS);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST);
    Icon = (HICON)LoadImageA(nullptr, (LPCSTR)IDI_APPLICATION, IMAGE_ICON, 16, 16, LR_SHARED);
    Notify(NIM_ADD);
    Icon = nullptr; // shared: never destroyed
    HANDLE thread = CreateThread(nullptr, 0, Ticks, nullptr, 0, nullptr);
    SetThreadPriority(thread, THREAD_PRIORITY_LOWEST);
    MSG message;
    while (GetMessageA(&message, 0, 0, 0) > 0)
        DispatchMessageA(&message);
    ExitProcess(0);
}
