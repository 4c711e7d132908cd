#include "tray.h"

#include <shellapi.h>

#include "../common/text.h"

HICON TrayIconHandle;

namespace {

// The shell's first notification-icon record, which every version accepts.
struct TNotifyIconData {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    char szTip[64];
};
static_assert(sizeof(TNotifyIconData) == 88, "the 88-byte notification record");

bool Notify(DWORD action, HWND window, UINT id, HICON icon, UINT callbackMessage, const char* tip)
{
    TNotifyIconData data = {};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = id;
    if (action != NIM_DELETE) {
        data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        data.uCallbackMessage = callbackMessage;
        data.hIcon = icon;
        CopyText(data.szTip, sizeof data.szTip, tip);
    }
    return Shell_NotifyIconA(action, reinterpret_cast<NOTIFYICONDATAA*>(&data)) != FALSE;
}

} // namespace

bool AddTrayIcon(HWND window, UINT id, HICON icon, UINT callbackMessage, const char* tip)
{
    return Notify(NIM_ADD, window, id, icon, callbackMessage, tip);
}

bool DeleteTrayIcon(HWND window, UINT id) { return Notify(NIM_DELETE, window, id, nullptr, 0, ""); }

bool ModifyTrayIcon(HWND window, UINT id, HICON icon, UINT callbackMessage, const char* tip)
{
    return Notify(NIM_MODIFY, window, id, icon, callbackMessage, tip);
}

// Drawing is not built yet: the shell keeps the program's icon.
void RenderTrayIcon(int) {}
void RefreshTrayIcon() {}

void ReleaseTrayIcon()
{
    if (TrayIconHandle)
        DestroyIcon(TrayIconHandle);
    TrayIconHandle = 0;
}
