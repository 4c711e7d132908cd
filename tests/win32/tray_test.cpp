// The tray icon's pictures read back pixel by pixel, the drawing objects
// over many drawings, and the icon's release racing the monitor's drawing.
#include <windows.h>

#include "../../common/hostnotify.h"
#include "../../host/memstatus.h"
#include "../../host/settings.h"
#include "../../host/hostenv.h"
#include "../../host/tray.h"
#include "../../host/logic/tray.h"
#include "check.h"
#include "support.h"

namespace {

enum { kMost = 32 };
typedef uint32_t TPixels[kMost][kMost];

// TrayIconHandle's colour pixels as 0x00BBGGRR, `size` square; false when
// unreadable, of another size, or when its mask is not all black (opaque).
bool ReadIcon(TPixels pixels, int size = 16)
{
    ICONINFO info;
    if (!TrayIconHandle || !GetIconInfo(TrayIconHandle, &info))
        return false;
    BITMAP shape = {};
    GetObjectA(info.hbmColor, sizeof shape, &shape);
    HDC screen = GetDC(nullptr);
    BITMAPINFO format = {};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    uint32_t colour[kMost * kMost], mask[kMost * kMost];
    bool ok = shape.bmWidth == size && shape.bmHeight == size &&
              GetDIBits(screen, info.hbmColor, 0, size, colour, &format, DIB_RGB_COLORS) == size &&
              GetDIBits(screen, info.hbmMask, 0, size, mask, &format, DIB_RGB_COLORS) == size;
    for (int i = 0; ok && i < size * size; ++i) {
        uint32_t p = colour[i];
        pixels[i / size][i % size] = ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
        ok = (mask[i] & 0xFFFFFF) == 0;
    }
    ReleaseDC(nullptr, screen);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return ok;
}

// The load at 100 % (as without a way of measuring), memory as it is.
TTrayFigures Figures()
{
    TTrayFigures f = {};
    f.CpuLoad = 100;
    f.UsedPercent = UsedPhysicalPercent();
    f.FreeMB = 512;
    return f;
}

// Draws `mode` at `size`: grey outside the band rows `top` to `bottom`;
// inside, `band` everywhere, or with `digits` the green band with dark
// digits from x 1 (the font's edges may be smoothed into shades of green,
// never another colour).
void ExpectPicture(int mode, uint32_t band, bool digits = false, int size = 16, int top = 3,
                   int bottom = 12)
{
    RenderTrayIcon(mode, Figures(), size, size);
    TPixels p;
    CHECK(ReadIcon(p, size));
    int wrong = 0, dark = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            uint32_t c = p[y][x];
            if (y < top || y > bottom)
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

// `text` drawn here, apart from the host's code, as the 16 x 16 number
// picture draws its digits in a font `height` high (a smaller one in the
// middle of the 11-pixel cell): the pixels it must match.
void ReferenceNumber(const char* text, TPixels out, int height = 11)
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    RECT all = {0, 0, 16, 16}, band = {0, 3, 16, 13};
    HBRUSH grey = CreateSolidBrush(kTrayGrey), green = CreateSolidBrush(kBrightGreen);
    FillRect(dc, &all, grey);
    FillRect(dc, &band, green);
    SetTextColor(dc, kBlack);
    SetBkMode(dc, TRANSPARENT);
    HFONT font = CreateFontA(height, 0, 0, 0, 0, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, VARIABLE_PITCH,
                             "Small Fonts");
    HGDIOBJ oldFont = SelectObject(dc, font);
    TextOutA(dc, 1, 3 + (11 - height) / 2, text, lstrlenA(text));

    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            out[y][x] = GetPixel(dc, x, y);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(font);
    DeleteObject(grey);
    DeleteObject(green);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

// Whether `text` fits from x 1 in the 16 square in a font `height` high,
// its whole advance.
bool Fits(const char* text, int height = 11)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontA(height, 0, 0, 0, 0, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, VARIABLE_PITCH,
                             "Small Fonts");
    HGDIOBJ old = SelectObject(dc, font);
    SIZE extent = {};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &extent);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    return extent.cx <= 15;
}

// Columns of `p` (16 square) that hold a dark pixel: where digits were drawn.
int InkColumns(TPixels p, int* rightmost)
{
    int columns = 0;
    *rightmost = -1;
    for (int x = 0; x < 16; ++x) {
        bool ink = false;
        for (int y = 0; y < 16; ++y)
            ink = ink || p[y][x] == kBlack;
        columns += ink;
        if (ink)
            *rightmost = x;
    }
    return columns;
}

DWORD WINAPI DrawMany(LPVOID)
{
    for (int i = 0; i < 1000; ++i)
        RenderTrayIcon(7, Figures());
    return 0;
}

} // namespace

CHECK_CASE(TrayPicturesForEveryMode)
{
    ExpectPicture(1, kRed);
    ExpectPicture(2, kBrightGreen, true);
    ExpectPicture(3, BandColour(UsedPhysicalPercent()));
    ExpectPicture(4, kBrightGreen, true);
    for (int mode : {7, 0, -5, 255})
        ExpectPicture(mode, kTrayGrey);
    ReleaseTrayIcon();
    CHECK(TrayIconHandle == nullptr);
}

CHECK_CASE(TrayPicturesAtTwentyFourPixelsScaleBandAndDigits)
{
    // Rows 3..12 of 16 become rows 4..19 of 24.
    ExpectPicture(1, kRed, false, 24, 4, 19);
    ExpectPicture(2, kBrightGreen, true, 24, 4, 19);
    ExpectPicture(3, BandColour(UsedPhysicalPercent()), false, 24, 4, 19);
    ExpectPicture(4, kBrightGreen, true, 24, 4, 19);
    ExpectPicture(7, kTrayGrey, false, 24, 4, 19);
    // The scaled font: taller digits than at 16.
    TPixels small, large;
    TTrayFigures f = Figures();
    RenderTrayIcon(2, f, 16, 16);
    CHECK(ReadIcon(small, 16));
    RenderTrayIcon(2, f, 24, 24);
    CHECK(ReadIcon(large, 24));
    int smallRows = 0, largeRows = 0;
    for (int y = 0; y < 24; ++y) {
        bool inSmall = false, inLarge = false;
        for (int x = 0; x < 24; ++x) {
            inSmall = inSmall || (y < 16 && x < 16 && small[y][x] == kBlack);
            inLarge = inLarge || large[y][x] == kBlack;
        }
        smallRows += inSmall, largeRows += inLarge;
    }
    CHECK(smallRows > 0 && largeRows > smallRows);
    ReleaseTrayIcon();
}

CHECK_CASE(TrayNumbersThatDoNotFitShowWholeGigabytes)
{
    // mode 4 free MB -> the text its picture must match; when the font is too
    // wide for the digits (Wine's stand-in for "Small Fonts" is), whole
    // gigabytes, in a smaller font when even they do not fit.
    const bool threeFit = Fits("999");
    const struct {
        int32_t FreeMB;
        const char* Text;
    } rows[] = {
        {999, threeFit ? "999" : "1G"},
        {23782, "23G"},
        {100, "100"}, // 0G would mislead
        {7, "7"},
        {1536, "2G"},
        {65535, "64G"},
    };
    printf("  three digits %s in 16 pixels with this font\n", threeFit ? "fit" : "do not fit");
    for (auto r : rows) {
        TTrayFigures f = Figures();
        f.FreeMB = r.FreeMB;
        RenderTrayIcon(4, f, 16, 16);
        TPixels drawn, expected;
        CHECK(ReadIcon(drawn));
        int height = 11;
        while (height > kMinNumberFont && !Fits(r.Text, height))
            --height;
        ReferenceNumber(r.Text, expected, height);
        int different = 0;
        for (int i = 0; i < 256; ++i)
            different += drawn[i / 16][i % 16] != expected[i / 16][i % 16];
        CHECK_EQ(0, different);
        if (different)
            printf("  %d MB is not drawn as \"%s\"\n", r.FreeMB, r.Text);
        // Nothing reaches the right edge: no digit is cut.
        int rightmost;
        CHECK(InkColumns(drawn, &rightmost) > 0 && rightmost < 15);
    }
    // The cut five digits of old are not what is drawn.
    TPixels cut, drawn;
    ReferenceNumber("23782", cut);
    TTrayFigures f = Figures();
    f.FreeMB = 23782;
    RenderTrayIcon(4, f, 16, 16);
    CHECK(ReadIcon(drawn));
    int different = 0;
    for (int i = 0; i < 256; ++i)
        different += drawn[i / 16][i % 16] != cut[i / 16][i % 16];
    CHECK(different > 0);
    ReleaseTrayIcon();
}

CHECK_CASE(TrayTipNamesTheProgramThenFreeMemoryAndLoad)
{
    // Shells before Windows 2000 show one line and no line break.
    const std::string head = InWin98Copy() ? "Brindlecap - " : "Brindlecap\n";
    char tip[kTipSize];
    const struct {
        TTrayFigures Figures;
        const char* Text;
    } rows[] = {
        {{12, 23782, 40}, "Свободно 23782 Мб, процессор 12%"},
        {{-1, 0, 0}, "Свободно 0 Мб, процессор -1%"},
        // the longest figures still fit the field
        {{INT32_MIN, INT32_MAX, 0}, "Свободно 2147483647 Мб, процессор -2147483648%"},
    };
    for (auto r : rows) {
        TrayTipText(r.Figures, tip);
        CHECK_STR(InCodePage(1251, (head + r.Text).c_str()).c_str(), tip);
    }
}

CHECK_CASE(TrayRefreshDrawsOnlyWhatChanges)
{
    ProgramTrayIcon(); // loaded shared, once, for the program's life
    uint32_t empty = LiveGdiObjects();
    TTrayFigures f = Figures();
    f.CpuLoad = 30;
    // figures changed on each step -> drawn again?
    const struct {
        int Mode, Cpu, FreeMB, Used;
        bool Add, Drawn;
    } steps[] = {
        {2, 30, 512, 40, false, true},  // the first
        {2, 30, 512, 40, false, false}, // nothing changed
        {2, 30, 512, 40, false, false}, //
        {2, 31, 512, 40, false, true},  // the number
        {2, 31, 513, 40, false, false}, // the tip's free memory: a new tip, the same icon
        {2, 31, 513, 90, false, false}, // nothing it shows
        {2, 31, 513, 90, true, true},   // the taskbar came back: an add
        {2, 31, 513, 90, false, false}, //
        {3, 31, 513, 90, false, true},  // another mode
        {3, 31, 513, 95, false, false}, // the same red band
        {3, 31, 513, 50, false, true},  // dark green now
        {0, 99, 999, 10, false, true},  // mode 0: the program's own icon again
        {0, 99, 999, 10, false, false}, // and then nothing
    };
    int step = 0;
    for (auto s : steps) {
        if (s.Add)
            AddTrayIcon(nullptr, 0, TrayIconHandle, WM_TRAYICON, "Brindlecap");
        HICON before = TrayIconHandle;
        f = {s.Cpu, s.FreeMB, s.Used};
        RefreshTrayIcon(s.Mode, f);
        CHECK_EQ(s.Drawn, TrayIconHandle != before);
        if (s.Drawn != (TrayIconHandle != before))
            printf("  step %d\n", step);
        ++step;
    }
    ReleaseTrayIcon();
    CHECK_EQ(empty, LiveGdiObjects());
}

CHECK_CASE(TrayRefreshInMode0KeepsTheProgramIconWhichIsNeverDestroyed)
{
    HICON program = (HICON)LoadImageA(HostInstance, "MAINICON", IMAGE_ICON, 16, 16, LR_SHARED);
    TrayIconHandle = program;
    uint8_t saved = Settings.TrayIconMode;
    Settings.TrayIconMode = 0;
    RefreshTrayIcon(Settings.TrayIconMode, Figures());
    CHECK(program && TrayIconHandle == program);
    Settings.TrayIconMode = 3;
    RefreshTrayIcon(Settings.TrayIconMode, Figures());
    CHECK(TrayIconHandle != program);
    Settings.TrayIconMode = saved;
    ReleaseTrayIcon();
    ICONINFO info;
    CHECK(GetIconInfo(program, &info));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

CHECK_CASE(TwoThousandDrawingsKeepTheDrawingObjectCount)
{
    // The counter sees an object leaked on purpose.
    uint32_t empty = LiveGdiObjects();
    HBRUSH leak = CreateSolidBrush(0x123456);
    CHECK_EQ(empty + 1, LiveGdiObjects());
    DeleteObject(leak);

    TTrayFigures f = Figures();
    RenderTrayIcon(2, f);
    uint32_t holding = LiveGdiObjects(); // one icon held
    // The count is exact, so a leak shows in the first drawing that leaks;
    // the number is enough to pass through every mode, size and length.
    for (int i = 0; i < 2000; ++i) {
        f.FreeMB = i * 37; // numbers of every length, gigabytes up to 72G
        RenderTrayIcon(1 + i % 5, f, 16 + 8 * (i % 2), 16 + 8 * (i % 2));
    }
    CHECK_EQ(holding, LiveGdiObjects());
    ReleaseTrayIcon();
    CHECK_EQ(empty, LiveGdiObjects());
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

// Beyond 16 x 16 the program's icon is opaque by its alpha where its mask is:
// Wine's tray cuts masks whose rows are not whole words (black rows showed).
CHECK_CASE(ProgramIconBeyondSixteenPixelsIsOpaqueByItsAlpha)
{
    for (int size : {20, 24, 40, 48}) {
        ICONINFO info;
        CHECK(GetIconInfo(ProgramTrayIcon(size, size), &info));
        HDC screen = GetDC(nullptr);
        BITMAPINFO format = {};
        format.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        static uint32_t colour[48 * 48], mask[48 * 48];
        GetDIBits(screen, info.hbmColor, 0, size, colour, &format, DIB_RGB_COLORS);
        GetDIBits(screen, info.hbmMask, 0, size, mask, &format, DIB_RGB_COLORS);
        int opaque = 0, wrong = 0;
        for (int i = 0; i < size * size; ++i) {
            bool shown = (mask[i] & 0xFFFFFF) == 0;
            opaque += shown;
            wrong += (colour[i] >> 24) != (shown ? 0xFFu : 0u);
        }
        CHECK(opaque > size * size / 3 && opaque < size * size && wrong == 0);
        ReleaseDC(nullptr, screen);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
}
