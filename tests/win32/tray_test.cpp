// The tray icon's pictures read back pixel by pixel, the drawing objects
// over many drawings, and the icon's release racing the monitor's drawing.
#include <windows.h>

#include "../../host/cpusampler.h"
#include "../../host/memstatus.h"
#include "../../host/settings.h"
#include "../../host/startup.h"
#include "../../host/tray.h"
#include "../../host/traypicture.h"
#include "check.h"
#include "support.h"

namespace {

// 0x00BBGGRR, as the band colour table gives it.
typedef uint32_t TPixels[16][16];

// The colour bitmap of TrayIconHandle and whether its mask is all black.
bool ReadIcon(TPixels pixels, bool* maskAllBlack)
{
    ICONINFO info;
    if (!TrayIconHandle || !GetIconInfo(TrayIconHandle, &info))
        return false;
    HDC screen = GetDC(nullptr);
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = 16;
    format.bmiHeader.biHeight = -16; // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    uint32_t raw[16][16];
    bool ok = GetDIBits(screen, info.hbmColor, 0, 16, raw, &format, DIB_RGB_COLORS) == 16;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) { // BGRA in memory to 0x00BBGGRR
            uint32_t p = raw[y][x];
            pixels[y][x] = ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
        }
    uint32_t mask[16][16];
    ok = ok && GetDIBits(screen, info.hbmMask, 0, 16, mask, &format, DIB_RGB_COLORS) == 16;
    *maskAllBlack = true;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (mask[y][x] & 0xFFFFFF)
                *maskAllBlack = false;
    ReleaseDC(nullptr, screen);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return ok;
}

// Pixels of rows [top, bottom) not of `colour`.
int Others(const TPixels pixels, int top, int bottom, uint32_t colour)
{
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < 16; ++x)
            n += pixels[y][x] != colour;
    return n;
}

// Draws `mode` and checks the grey square with its band of `band` in rows
// 3 to 12.
void ExpectBand(int mode, uint32_t band)
{
    RenderTrayIcon(mode);
    TPixels p;
    bool maskBlack = false;
    CHECK(ReadIcon(p, &maskBlack));
    CHECK(maskBlack);
    CHECK_EQ(0, Others(p, 0, 3, kTrayGrey));
    CHECK_EQ(0, Others(p, 3, 13, band));
    CHECK_EQ(0, Others(p, 13, 16, kTrayGrey));
}

// Draws `mode` and checks dark digits from x 1 on the green band. The
// font's edges may be smoothed: ink is black or a shade between black and
// the band's green, never another colour.
void ExpectDigits(int mode, int leastDark)
{
    RenderTrayIcon(mode);
    TPixels p;
    bool maskBlack = false;
    CHECK(ReadIcon(p, &maskBlack));
    CHECK(maskBlack);
    CHECK_EQ(0, Others(p, 0, 3, kTrayGrey));
    CHECK_EQ(0, Others(p, 13, 16, kTrayGrey));
    int dark = 0, stray = 0, leftEdge = 0;
    for (int y = 3; y < 13; ++y)
        for (int x = 0; x < 16; ++x) {
            uint32_t c = p[y][x];
            stray += (c & 0xFF00FF) != 0;
            dark += c == kBlack;
            leftEdge += x == 0 && c != kBrightGreen;
        }
    CHECK_EQ(0, stray);
    CHECK_EQ(0, leftEdge);
    CHECK(dark >= leastDark);
}

} // namespace

CHECK_CASE(TrayPicturesForEveryMode)
{
    int savedPlatform = PlatformClass;
    // Without a way of measuring the processor reads 100 %: a red band, and
    // "100" whose three digits run to the right edge.
    PlatformClass = PlatformOther;
    ExpectBand(1, kRed);
    ExpectDigits(2, 3);
    PlatformClass = savedPlatform;

    // Memory in use: the colour of the percentage, read on either side.
    int32_t before = UsedPhysicalPercent();
    RenderTrayIcon(3);
    int32_t after = UsedPhysicalPercent();
    TPixels p;
    bool maskBlack;
    CHECK(ReadIcon(p, &maskBlack));
    CHECK(p[3][0] == BandColour(before) || p[3][0] == BandColour(after));
    ExpectBand(3, p[3][0]);

    // Free megabytes: a number on the green band.
    ExpectDigits(4, 2);

    // Any other value: the plain light grey square, mode 0 too.
    ExpectBand(7, kTrayGrey);
    ExpectBand(0, kTrayGrey);
    ExpectBand(-5, kTrayGrey);
    ExpectBand(255, kTrayGrey);
    ReleaseTrayIcon();
    CHECK(TrayIconHandle == nullptr);
}

CHECK_CASE(TrayRefreshLeavesTheIconAloneInMode0)
{
    HICON program = (HICON)LoadImageA(HostInstance, "MAINICON", IMAGE_ICON, 16, 16, LR_SHARED);
    CHECK(program != nullptr);
    TrayIconHandle = program;
    uint8_t saved = Settings.TrayIconMode;
    Settings.TrayIconMode = 0;
    RefreshTrayIcon();
    CHECK(TrayIconHandle == program);
    Settings.TrayIconMode = 3;
    RefreshTrayIcon();
    CHECK(TrayIconHandle != program);
    Settings.TrayIconMode = saved;
    ReleaseTrayIcon();
    // The program's icon is shared with the module: still usable.
    ICONINFO info;
    CHECK(GetIconInfo(program, &info));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

CHECK_CASE(TenThousandDrawingsKeepTheDrawingObjectCount)
{
    // The counter sees one object more when one is leaked on purpose.
    uint32_t empty = LiveGdiObjects();
    HBRUSH leak = CreateSolidBrush(0x123456);
    CHECK_EQ(empty + 1, LiveGdiObjects());
    DeleteObject(leak);
    CHECK_EQ(empty, LiveGdiObjects());

    int savedPlatform = PlatformClass;
    PlatformClass = PlatformOther; // no query per drawing: only drawing
    RenderTrayIcon(2);
    uint32_t holding = LiveGdiObjects(); // one icon held
    for (int i = 0; i < 10000; ++i)
        RenderTrayIcon(1 + i % 5);
    CHECK_EQ(holding, LiveGdiObjects());
    ReleaseTrayIcon();
    CHECK_EQ(empty, LiveGdiObjects());
    PlatformClass = savedPlatform;
}

namespace {
DWORD WINAPI DrawMany(LPVOID)
{
    for (int i = 0; i < 1000; ++i)
        RenderTrayIcon(7);
    return 0;
}
} // namespace

CHECK_CASE(ReleasingTheIconWhileTheMonitorDrawsDestroysEachIconOnce)
{
    uint32_t empty = LiveGdiObjects();
    HANDLE drawer = CreateThread(nullptr, 0, DrawMany, nullptr, 0, nullptr);
    CHECK(drawer != nullptr);
    int releases = 0;
    while (WaitForSingleObject(drawer, 0) == WAIT_TIMEOUT) {
        ReleaseTrayIcon();
        ++releases;
    }
    CloseHandle(drawer);
    ReleaseTrayIcon();
    // An icon released twice would take another's bitmaps with it or fail,
    // one never released would stay: either way the count would move.
    CHECK_EQ(empty, LiveGdiObjects());
    CHECK(releases > 1);
}
