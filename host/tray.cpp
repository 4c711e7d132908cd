#include "tray.h"

#include <shellapi.h>

#include <atomic>

#include "../common/hostnotify.h"
#include "../common/numtext.h"
#include "../common/text.h"
#include "cpusampler.h"
#include "memstatus.h"
#include "settings.h"
#include "hostenv.h"
#include "traypicture.h"

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
// 88 bytes on 32-bit Windows; the handles and their alignment make it 104 on 64-bit.
#ifdef _WIN64
static_assert(sizeof(TNotifyIconData) == 104, "the 64-bit first notification record");
#else
static_assert(sizeof(TNotifyIconData) == 88, "the 88-byte notification record");
#endif

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

// The icon this unit drew and has not yet handed back, 0 when none.
// Ownership passes only by exchange, so each drawn icon is destroyed once:
// by the next drawing or by ReleaseTrayIcon, whichever takes it, however
// the monitor thread and shutdown interleave. The program's own icon, loaded
// shared, is never ours to destroy.
std::atomic<HICON> DrawnIcon;

void Install(HICON icon)
{
    HICON stale = DrawnIcon.exchange(icon);
    TrayIconHandle = icon;
    if (stale)
        DestroyIcon(stale);
}

const int kSize = 16;

void FillBox(HDC dc, int top, int bottom, uint32_t colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    HGDIOBJ old = SelectObject(dc, brush);
    PatBlt(dc, 0, top, kSize, bottom - top, PATCOPY);
    SelectObject(dc, old);
    DeleteObject(brush);
}

// Digits at 1, 3 on the green band; what passes the right edge is cut off.
void DrawNumber(HDC dc, int32_t value)
{
    FillBox(dc, 3, 13, kBrightGreen);
    SetTextColor(dc, kBlack);
    SetBkColor(dc, kBrightGreen);
    SetBkMode(dc, TRANSPARENT);
    HFONT font = CreateFontA(11, 0, 0, 0, 0, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0,
                             VARIABLE_PITCH, "Small Fonts");
    HGDIOBJ old = SelectObject(dc, font);
    char digits[12];
    int length = FormatDecimal(value, digits);
    TextOutA(dc, 1, 3, digits, length);
    SelectObject(dc, old);
    DeleteObject(font);
}

int32_t FreePhysicalMB()
{
    RefreshMemStatus();
    uint64_t mb = ReadMemStatus().AvailPhys >> 20;
    return mb > 0x7FFFFFFF ? 0x7FFFFFFF : int32_t(mb);
}

void DrawPicture(HDC dc, TTrayPicture picture)
{
    FillBox(dc, 0, kSize, kTrayGrey);
    switch (picture) {
    case PictureCpuBand:
        FillBox(dc, 3, 13, BandColour(SampleCpuLoad()));
        break;
    case PictureCpuNumber:
        DrawNumber(dc, SampleCpuLoad());
        break;
    case PictureUsedBand:
        FillBox(dc, 3, 13, BandColour(UsedPhysicalPercent()));
        break;
    case PictureFreeNumber:
        DrawNumber(dc, FreePhysicalMB());
        break;
    case PicturePlain:
        break;
    }
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

void RenderTrayIcon(int mode)
{
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc)
        return;
    HBITMAP colour = CreateBitmap(kSize, kSize, 1, GetDeviceCaps(dc, BITSPIXEL), nullptr);
    HBITMAP mask = CreateBitmap(kSize, kSize, 1, 1, nullptr);
    if (colour && mask) {
        // An all-black mask: every pixel of the picture is opaque.
        HGDIOBJ original = SelectObject(dc, mask);
        PatBlt(dc, 0, 0, kSize, kSize, BLACKNESS);
        SelectObject(dc, colour);
        DrawPicture(dc, TrayPictureOf(mode));
        // The bitmaps leave the device context before the icon is made of
        // them: the system may select them into one of its own meanwhile.
        SelectObject(dc, original);
        ICONINFO info = {TRUE, 0, 0, mask, colour};
        HICON icon = CreateIconIndirect(&info);
        // A failed drawing keeps the picture the shell has.
        if (icon)
            Install(icon);
    }
    if (colour)
        DeleteObject(colour);
    if (mask)
        DeleteObject(mask);
    DeleteDC(dc);
}

void RefreshTrayIcon()
{
    int mode = Settings.TrayIconMode;
    if (mode == 0)
        return;
    RenderTrayIcon(mode);
    ModifyTrayIcon(MainWindow, 0, TrayIconHandle, WM_TRAYICON, "Brindlecap");
}

void ReleaseTrayIcon()
{
    HICON mine = DrawnIcon.exchange(nullptr);
    TrayIconHandle = 0;
    if (mine)
        DestroyIcon(mine);
}
