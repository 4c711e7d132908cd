// The tray icon's pictures read back pixel by pixel, the drawing objects
// over many drawings, and the icon's release racing the monitor's drawing.
#include <windows.h>

#include "../../host/memstatus.h"
#include "../../host/settings.h"
#include "../../host/hostenv.h"
#include "../../host/tray.h"
#include "../../host/traypicture.h"
#include "check.h"
#include "support.h"

namespace {

// TrayIconHandle's colour pixels as 0x00BBGGRR; false when unreadable or
// when its mask is not all black (opaque).
bool ReadIcon(uint32_t pixels[16][16])
{
    ICONINFO info;
    if (!TrayIconHandle || !GetIconInfo(TrayIconHandle, &info))
        return false;
    HDC screen = GetDC(nullptr);
    BITMAPINFO format = {};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    uint32_t mask[16][16];
    bool ok = GetDIBits(screen, info.hbmColor, 0, 16, pixels, &format, DIB_RGB_COLORS) == 16 &&
              GetDIBits(screen, info.hbmMask, 0, 16, mask, &format, DIB_RGB_COLORS) == 16;
    for (int i = 0; i < 256; ++i) {
        uint32_t& p = pixels[i / 16][i % 16];
        p = ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
        ok = ok && (mask[i / 16][i % 16] & 0xFFFFFF) == 0;
    }
    ReleaseDC(nullptr, screen);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return ok;
}

// Draws `mode`: grey outside rows 3 to 12; inside, `band` everywhere, or
// with `digits` the green band with dark digits from x 1 (the font's edges
// may be smoothed into shades of green, never another colour).
void ExpectPicture(int mode, uint32_t band, bool digits = false)
{
    RenderTrayIcon(mode);
    uint32_t p[16][16];
    CHECK(ReadIcon(p));
    int wrong = 0, dark = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            uint32_t c = p[y][x];
            if (y < 3 || y > 12)
                wrong += c != kTrayGrey;
            else if (!digits)
                wrong += c != band;
            else
                wrong += (c & 0xFF00FF) != 0 || (x == 0 && c != kBrightGreen);
            dark += digits && c == kBlack;
        }
    CHECK_EQ(0, wrong);
    CHECK(!digits || dark >= 2);
}

DWORD WINAPI DrawMany(LPVOID)
{
    for (int i = 0; i < 1000; ++i)
        RenderTrayIcon(7);
    return 0;
}

} // namespace

CHECK_CASE(TrayPicturesForEveryMode)
{
    int savedPlatform = PlatformClass;
    // Without a way of measuring the processor reads 100 %.
    PlatformClass = PlatformOther;
    ExpectPicture(1, kRed);
    ExpectPicture(2, kBrightGreen, true);
    PlatformClass = savedPlatform;
    int32_t used = UsedPhysicalPercent();
    ExpectPicture(3, BandColour(used));
    ExpectPicture(4, kBrightGreen, true);
    for (int mode : {7, 0, -5, 255})
        ExpectPicture(mode, kTrayGrey);
    ReleaseTrayIcon();
    CHECK(TrayIconHandle == nullptr);
}

CHECK_CASE(TrayRefreshInMode0KeepsTheProgramIconWhichIsNeverDestroyed)
{
    HICON program = (HICON)LoadImageA(HostInstance, "MAINICON", IMAGE_ICON, 16, 16, LR_SHARED);
    TrayIconHandle = program;
    uint8_t saved = Settings.TrayIconMode;
    Settings.TrayIconMode = 0;
    RefreshTrayIcon();
    CHECK(program && TrayIconHandle == program);
    Settings.TrayIconMode = 3;
    RefreshTrayIcon();
    CHECK(TrayIconHandle != program);
    Settings.TrayIconMode = saved;
    ReleaseTrayIcon();
    ICONINFO info;
    CHECK(GetIconInfo(program, &info));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

CHECK_CASE(TenThousandDrawingsKeepTheDrawingObjectCount)
{
    // The counter sees an object leaked on purpose.
    uint32_t empty = LiveGdiObjects();
    HBRUSH leak = CreateSolidBrush(0x123456);
    CHECK_EQ(empty + 1, LiveGdiObjects());
    DeleteObject(leak);

    int savedPlatform = PlatformClass;
    PlatformClass = PlatformOther; // no processor query: drawing alone
    RenderTrayIcon(2);
    uint32_t holding = LiveGdiObjects(); // one icon held
    for (int i = 0; i < 10000; ++i)
        RenderTrayIcon(1 + i % 5);
    CHECK_EQ(holding, LiveGdiObjects());
    ReleaseTrayIcon();
    CHECK_EQ(empty, LiveGdiObjects());
    PlatformClass = savedPlatform;
}

CHECK_CASE(ReleasingTheIconWhileTheMonitorDrawsDestroysEachIconOnce)
{
    uint32_t empty = LiveGdiObjects();
    HANDLE drawer = CreateThread(nullptr, 0, DrawMany, nullptr, 0, nullptr);
    int releases = 0;
    for (; drawer && WaitForSingleObject(drawer, 0) == WAIT_TIMEOUT; ++releases)
        ReleaseTrayIcon();
    CloseHandle(drawer);
    ReleaseTrayIcon();
    // An icon released twice would fail or take another's bitmaps with it,
    // one never released would stay: either way the count would move.
    CHECK_EQ(empty, LiveGdiObjects());
    CHECK(releases > 1);
}
