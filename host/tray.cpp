#include "tray.h"

#include <shellapi.h>

#include <atomic>

#include "../common/hostnotify.h"
#include "../common/lock.h"
#include "../common/logic/text.h"
#include "cpusampler.h"
#include "memstatus.h"
#include "hostenv.h"
#include "hoststrings.h"
#include "resources/resource.h"
#include "logic/tray.h"

std::atomic<HICON> TrayIconHandle;

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

bool Notify(DWORD action, HWND window, UINT id, HICON icon, UINT callbackMessage, const char* tip,
            UINT flags = NIF_MESSAGE | NIF_ICON | NIF_TIP)
{
    TNotifyIconData data = {};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = id;
    if (action != NIM_DELETE) {
        data.uFlags = flags;
        data.uCallbackMessage = callbackMessage;
        data.hIcon = icon;
        CopyText(data.szTip, sizeof data.szTip, tip);
    }
    return Shell_NotifyIconA(action, reinterpret_cast<NOTIFYICONDATAA*>(&data)) != FALSE;
}

// The record of shell 5.0 and later, whose balloon fields it adds (the 488
// bytes of its second version).
struct TNotifyIconBalloon {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    char szTip[128];
    DWORD dwState;
    DWORD dwStateMask;
    char szInfo[256];
    UINT uTimeout;
    char szInfoTitle[64];
    DWORD dwInfoFlags;
};
#ifndef _WIN64
static_assert(sizeof(TNotifyIconBalloon) == 488, "the shell 5.0 notification record");
#endif
enum { kNifInfo = 0x10, kNiifInfo = 1, kBalloonTimeout = 10000 };

// Shell 5.0 and later show balloons; older ones get the notice in the tip.
bool ShellHasBalloons()
{
    struct TDllVersion {
        DWORD cbSize, dwMajorVersion, dwMinorVersion, dwBuildNumber, dwPlatformID;
    };
    typedef HRESULT(CALLBACK * TDllGetVersion)(TDllVersion*);
    HMODULE shell = GetModuleHandleA("SHELL32.DLL");
    TDllGetVersion get =
        shell ? (TDllGetVersion)(void*)GetProcAddress(shell, "DllGetVersion") : nullptr;
    TDllVersion version = {sizeof version, 0, 0, 0, 0};
    return get && SUCCEEDED(get(&version)) && version.dwMajorVersion >= 5;
}

// A notice in the tip: the tick it ends at (0 for none), and the guard that
// keeps the monitor's tip from landing between the notice's start and its
// tip.
enum { kNoticeTime = 5000 }; // ms
std::atomic<uint32_t> NoticeEnd;
TLock NoticeLock;

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

void FillBox(HDC dc, const TTrayLayout& l, int top, int bottom, uint32_t colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    HGDIOBJ old = SelectObject(dc, brush);
    PatBlt(dc, 0, top, l.Width, bottom - top, PATCOPY);
    SelectObject(dc, old);
    DeleteObject(brush);
}

HFONT NumberFont(int height)
{
    return CreateFontA(height, 0, 0, 0, 0, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0,
                       VARIABLE_PITCH, "Small Fonts");
}

// Measured in the very font the number is then drawn in: a system without
// "Small Fonts" (Wine) stands in a wider one.
int MeasureText(void* context, int fontHeight, const char* text, int length)
{
    HDC dc = static_cast<HDC>(context);
    HFONT font = NumberFont(fontHeight);
    if (!font)
        return 0x7FFF;
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {0, 0};
    BOOL measured = GetTextExtentPoint32A(dc, text, length, &size);
    SelectObject(dc, old);
    DeleteObject(font);
    return measured ? int(size.cx) : 0x7FFF;
}

// Digits on the green band; a number too long for the square shows in a
// smaller font or in whole gigabytes rather than cut.
void DrawNumber(HDC dc, const TTrayLayout& l, int32_t value, bool megabytes)
{
    FillBox(dc, l, l.BandTop, l.BandBottom, kBrightGreen);
    SetTextColor(dc, kBlack);
    SetBkColor(dc, kBrightGreen);
    SetBkMode(dc, TRANSPARENT);
    TTrayNumber number;
    // Within the square by the whole advance: a stand-in font's last
    // character may have ink in its final column.
    TrayNumberText(value, megabytes, l.Width - l.TextX, l.FontHeight, MeasureText, dc, &number);
    HFONT font = NumberFont(number.FontHeight);
    HGDIOBJ old = SelectObject(dc, font);
    // A smaller font sits in the middle of the layout's cell.
    TextOutA(dc, l.TextX, l.TextY + (l.FontHeight - number.FontHeight) / 2, number.Text,
             number.Length);
    SelectObject(dc, old);
    DeleteObject(font);
}

void DrawPicture(HDC dc, const TTrayLayout& l, const TTrayShown& shown)
{
    FillBox(dc, l, 0, l.Height, kTrayGrey);
    switch (shown.Picture) {
    case PictureCpuBand:
    case PictureUsedBand:
        FillBox(dc, l, l.BandTop, l.BandBottom, shown.Band);
        break;
    case PictureCpuNumber:
    case PictureFreeNumber:
        DrawNumber(dc, l, shown.Number, shown.Picture == PictureFreeNumber);
        break;
    case PicturePlain:
        break;
    }
}

// Raised by every add: the shell then shows the icon and tip it was handed,
// so the next refresh draws afresh whatever it remembers.
std::atomic<uint32_t> AddCount;
// What the last refresh handed the shell; the monitor thread's alone.
TTrayShown Shown;
uint32_t ShownAddCount;
bool HaveShown;
// A notice in the tip has ended: the icon's own tip is due again.
bool TipRestoreDue;

// The second line of the tip, loaded once by the thread that draws.
const char* TipPattern()
{
    static char pattern[kStringBuffer];
    static bool loaded;
    if (!loaded) {
        LoadHostString(IDS_TRAY_TIP, pattern);
        loaded = true;
    }
    return pattern;
}

} // namespace

bool AddTrayIcon(HWND window, UINT id, HICON icon, UINT callbackMessage, const char* tip)
{
    // Counted once the shell has the icon: a tick that took the count before
    // would modify an icon not yet there, think it shown, and stay blank.
    bool added = Notify(NIM_ADD, window, id, icon, callbackMessage, tip);
    if (added)
        AddCount.fetch_add(1);
    return added;
}

bool DeleteTrayIcon(HWND window, UINT id) { return Notify(NIM_DELETE, window, id, nullptr, 0, ""); }

bool ModifyTrayIcon(HWND window, UINT id, HICON icon, UINT callbackMessage, const char* tip)
{
    return Notify(NIM_MODIFY, window, id, icon, callbackMessage, tip);
}

TTrayFigures ReadTrayFigures(bool memory, const TTrayFigures* previous)
{
    TTrayFigures figures;
    figures.CpuLoad = SampleCpuLoad();
    if (!memory && previous) {
        figures.UsedPercent = previous->UsedPercent;
        figures.FreeMB = previous->FreeMB;
        figures.TotalMB = previous->TotalMB;
        return figures;
    }
    figures.UsedPercent = UsedPhysicalPercent();
    // The snapshot that reading just refreshed.
    TMemFigures reading = ReadMemStatus();
    uint64_t free = reading.AvailPhys >> 20, total = reading.TotalPhys >> 20;
    figures.FreeMB = free > 0x7FFFFFFF ? 0x7FFFFFFF : int32_t(free);
    figures.TotalMB = total > 0x7FFFFFFF ? 0x7FFFFFFF : int32_t(total);
    return figures;
}

// The NT line's major version, 0 on Windows 95, 98 and Me; read once,
// every thread that asks gets the same.
static uint32_t NtVersion()
{
    // 0 not yet asked, else the version plus one.
    static std::atomic<uint32_t> answer;
    if (!answer.load()) {
        OSVERSIONINFOA version = {};
        version.dwOSVersionInfoSize = sizeof version;
        bool nt = GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
        answer.store(nt ? version.dwMajorVersion + 1 : 1);
    }
    return answer.load() - 1;
}

// Windows before Vista keep the 16 x 16 picture whatever their font size:
// only later systems hand a program that says it knows the DPI a larger
// small icon to fill instead of stretching.
static bool ScalesSmallIcons() { return NtVersion() >= 6; }

static bool OneLineTip()
{
    uint32_t nt = NtVersion();
    return !TipTakesLineBreak(nt != 0, nt);
}

void SmallIconSize(int* width, int* height)
{
    *width = *height = 16;
    if (!ScalesSmallIcons())
        return;
    *width = GetSystemMetrics(SM_CXSMICON);
    *height = GetSystemMetrics(SM_CYSMICON);
}

// A picture of 32 bits a pixel is opaque in its alpha too. A shell that
// blends by alpha then ignores the mask, which one that copies the icon
// between processes (Wine's) passes on cut short when a mask row is not a
// whole number of 16-pixel words: the rows it loses show the desktop.
static void MakeOpaque(HBITMAP colour, const TTrayLayout& l)
{
    BITMAP info;
    if (!GetObjectA(colour, sizeof info, &info) || info.bmBitsPixel != 32)
        return;
    DWORD size = DWORD(info.bmWidthBytes) * DWORD(l.Height);
    uint8_t* bits = static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), 0, size));
    if (!bits)
        return;
    if (GetBitmapBits(colour, LONG(size), bits) == LONG(size)) {
        for (DWORD i = 3; i < size; i += 4)
            bits[i] = 0xFF;
        SetBitmapBits(colour, size, bits);
    }
    HeapFree(GetProcessHeap(), 0, bits);
}

static void Render(const TTrayShown& shown)
{
    TTrayLayout l = TrayLayout(shown.Width, shown.Height);
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc)
        return;
    HBITMAP colour = CreateBitmap(l.Width, l.Height, 1, GetDeviceCaps(dc, BITSPIXEL), nullptr);
    HBITMAP mask = CreateBitmap(l.Width, l.Height, 1, 1, nullptr);
    if (colour && mask) {
        // An all-black mask: every pixel of the picture is opaque.
        HGDIOBJ original = SelectObject(dc, mask);
        PatBlt(dc, 0, 0, l.Width, l.Height, BLACKNESS);
        SelectObject(dc, colour);
        DrawPicture(dc, l, shown);
        // The bitmaps leave the device context before the icon is made of
        // them: the system may select them into one of its own meanwhile.
        SelectObject(dc, original);
        MakeOpaque(colour, l);
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

void TrayTipText(const TTrayFigures& figures, char out[kTipSize])
{
    FormatTrayTip(TipPattern(), figures, out, OneLineTip());
}

void RenderTrayIcon(int mode, const TTrayFigures& figures)
{
    int width, height;
    SmallIconSize(&width, &height);
    RenderTrayIcon(mode, figures, width, height);
}

void RenderTrayIcon(int mode, const TTrayFigures& figures, int width, int height)
{
    TTrayShown shown;
    DescribeTray(mode, width, height, figures, TipPattern(), &shown);
    Render(shown);
}

HICON ProgramTrayIcon()
{
    int width, height;
    SmallIconSize(&width, &height);
    return ProgramTrayIcon(width, height);
}

// The same picture, opaque by its alpha where its mask is (see MakeOpaque):
// a shell that copies icons between processes (Wine's) cuts a mask whose
// rows are not whole 16-pixel words, and black rows showed at the bottom.
static HICON OpaqueByAlpha(HICON icon, int width, int height)
{
    // The mask's pixels; the main thread's at start-up, then the monitor's.
    static uint32_t mask[64 * 64];
    ICONINFO info;
    if (width > 64 || height > 64 || !GetIconInfo(icon, &info))
        return nullptr;
    HICON made = nullptr;
    BITMAPINFO format = {};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP colour = CreateDIBSection(screen, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (colour && info.hbmColor &&
        GetDIBits(screen, info.hbmColor, 0, height, bits, &format, DIB_RGB_COLORS) == height &&
        GetDIBits(screen, info.hbmMask, 0, height, mask, &format, DIB_RGB_COLORS) == height) {
        uint32_t* pixel = static_cast<uint32_t*>(bits);
        for (int i = 0; i < width * height; ++i)
            pixel[i] = (mask[i] & 0xFFFFFF) ? 0 : pixel[i] | 0xFF000000u;
        ICONINFO opaque = {TRUE, 0, 0, info.hbmMask, colour};
        made = CreateIconIndirect(&opaque);
    }
    ReleaseDC(nullptr, screen);
    if (colour)
        DeleteObject(colour);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return made;
}

HICON ProgramTrayIcon(int width, int height)
{
    HICON loaded =
        HICON(LoadImageA(HostInstance, "MAINICON", IMAGE_ICON, width, height, LR_SHARED));
    if (!loaded || (width == 16 && height == 16))
        return loaded;
    // Made once for the size the shell asks for and kept for the program's
    // life, as the shared one is: the shell may still show it when the size
    // changes. Asked for by start-up before the monitor starts, then by the
    // monitor alone.
    static HICON made;
    static int madeSize;
    int size = width << 16 | height;
    if (made && madeSize == size)
        return made;
    HICON opaque = OpaqueByAlpha(loaded, width, height);
    if (!opaque)
        return loaded;
    madeSize = size;
    return made = opaque;
}

static void RefreshTrayPicture(int mode, const TTrayFigures& figures);

void InitTray() { InitLock(&NoticeLock); }

void ShowTrayNotice(const char* title, const char* text, const char* tip)
{
    static int balloons = -1;
    if (balloons < 0)
        balloons = ShellHasBalloons() ? 1 : 0;
    if (balloons) {
        TNotifyIconBalloon data = {};
        data.cbSize = sizeof data;
        data.hWnd = MainWindow;
        data.uFlags = kNifInfo;
        CopyText(data.szInfo, sizeof data.szInfo, text);
        CopyText(data.szInfoTitle, sizeof data.szInfoTitle, title);
        data.uTimeout = kBalloonTimeout;
        data.dwInfoFlags = kNiifInfo;
        Shell_NotifyIconA(NIM_MODIFY, reinterpret_cast<NOTIFYICONDATAA*>(&data));
        return;
    }
    Lock(&NoticeLock);
    // Never 0, which means none.
    NoticeEnd.store((GetTickCount() + kNoticeTime) | 1);
    Notify(NIM_MODIFY, MainWindow, 0, nullptr, 0, tip, NIF_TIP);
    Unlock(&NoticeLock);
}

// Whether a notice holds the tip; once it has ended, the next refresh shows
// the icon's own tip again.
static bool NoticeShown()
{
    uint32_t end = NoticeEnd.load();
    if (!end)
        return false;
    if (int32_t(GetTickCount() - end) < 0)
        return true;
    if (NoticeEnd.compare_exchange_strong(end, 0)) {
        HaveShown = false;
        TipRestoreDue = true;
    }
    return false;
}

void RefreshTrayIcon(int mode, const TTrayFigures& figures)
{
    Lock(&NoticeLock);
    if (!NoticeShown())
        RefreshTrayPicture(mode, figures);
    Unlock(&NoticeLock);
}

static void RefreshTrayPicture(int mode, const TTrayFigures& figures)
{
    if (mode == 0) {
        // Back to the program's own icon and tip once, after a drawn
        // picture or a notice.
        if (!HaveShown && !TipRestoreDue)
            return;
        HICON own = ProgramTrayIcon();
        HICON drawn = DrawnIcon.exchange(nullptr);
        TrayIconHandle = own;
        ModifyTrayIcon(MainWindow, 0, own, WM_TRAYICON, "Brindlecap");
        if (drawn)
            DestroyIcon(drawn);
        HaveShown = TipRestoreDue = false;
        return;
    }
    int width, height;
    SmallIconSize(&width, &height);
    TTrayShown shown;
    DescribeTray(mode, width, height, figures, TipPattern(), &shown, OneLineTip());
    uint32_t adds = AddCount.load();
    bool fresh = !HaveShown || adds != ShownAddCount;
    bool samePicture = !fresh && SameTrayPicture(shown, Shown);
    if (samePicture && !TrayTipDue(Shown, shown))
        return;
    // The figures in the tip move more often than the picture: a new tip
    // alone goes without the icon, which the shell would copy again.
    if (!samePicture)
        Render(shown);
    // Remembered whatever the shell answers: with no icon to modify (the
    // hidden mode, or no taskbar yet) there is nothing to show until an add,
    // and an add draws afresh.
    Notify(NIM_MODIFY, MainWindow, 0, TrayIconHandle, WM_TRAYICON, shown.Tip,
           samePicture ? NIF_TIP : NIF_MESSAGE | NIF_ICON | NIF_TIP);
    Shown = shown;
    HaveShown = true;
    TipRestoreDue = false;
    ShownAddCount = adds;
}

void ReleaseTrayIcon()
{
    HICON mine = DrawnIcon.exchange(nullptr);
    TrayIconHandle = 0;
    if (mine)
        DestroyIcon(mine);
}
