#include "tray.h"

#include "../../common/logic/numtext.h"
#include "../../common/logic/rounding.h"
#include "../../common/logic/text.h"

TTrayPicture TrayPictureOf(int mode)
{
    switch (mode) {
    case 1:
        return PictureCpuBand;
    case 2:
        return PictureCpuNumber;
    case 3:
        return PictureUsedBand;
    case 4:
        return PictureFreeNumber;
    default:
        return PicturePlain;
    }
}

uint32_t BandColour(int32_t percent)
{
    if (percent < 0 || percent > 75)
        return kRed;
    if (percent > 50)
        return kYellow;
    if (percent > 25)
        return kDarkGreen;
    return kBrightGreen;
}

TTrayLayout TrayLayout(int width, int height)
{
    // A system that answers nothing sensible gets the classic square.
    if (width < 1 || width > 1024 || height < 1 || height > 1024)
        width = height = 16;
    TTrayLayout l;
    l.Width = width;
    l.Height = height;
    l.BandTop = RoundRatio(3 * height, 16);
    l.BandBottom = RoundRatio(13 * height, 16);
    l.FontHeight = RoundRatio(11 * height, 16);
    l.TextX = RoundRatio(width, 16);
    l.TextY = l.BandTop;
    return l;
}

namespace {

// Whole units of `shift` bits (1024 MB a gigabyte), rounded halves to even,
// then `unit`.
int ScaledText(int32_t value, int shift, char unit, char* out)
{
    int32_t whole = RoundRatio(value, int64_t(1) << shift);
    int length = FormatDecimal(whole, out);
    out[length++] = unit;
    out[length] = 0;
    return length;
}

} // namespace

int TrayNumberText(int32_t value, int room, TTextWidth width, void* context, char* out)
{
    int length = FormatDecimal(value, out);
    if (width(context, out, length) <= room || value < 0)
        return length;
    int shortest = length;
    char best[16];
    CopyText(best, sizeof best, out);
    static const struct {
        int Shift;
        char Unit;
    } kUnits[] = {{10, 'G'}, {20, 'T'}};
    for (auto unit : kUnits) {
        // "0T" would tell less than nothing.
        if (RoundRatio(value, int64_t(1) << unit.Shift) == 0)
            break;
        length = ScaledText(value, unit.Shift, unit.Unit, out);
        if (width(context, out, length) <= room)
            return length;
        if (length < shortest) {
            shortest = length;
            CopyText(best, sizeof best, out);
        }
    }
    return CopyText(out, 16, best);
}

void FormatTrayTip(const char* pattern, const TTrayFigures& figures, char out[kTipSize])
{
    int length = CopyText(out, kTipSize, "Brindlecap\n");
    const int32_t values[2] = {figures.FreeMB, figures.CpuLoad};
    int used = 0;
    for (const char* p = pattern; *p && length < kTipSize - 1; ++p) {
        if (*p == '#' && used < 2) {
            char digits[12];
            FormatDecimal(values[used++], digits);
            length = AppendText(out, kTipSize, digits);
        } else {
            out[length++] = *p;
            out[length] = 0;
        }
    }
}

void DescribeTray(int mode, int width, int height, const TTrayFigures& figures,
                  const char* tipPattern, TTrayShown* out)
{
    TTrayShown shown = {};
    shown.Picture = TrayPictureOf(mode);
    shown.Width = width;
    shown.Height = height;
    switch (shown.Picture) {
    case PictureCpuBand:
        shown.Band = BandColour(figures.CpuLoad);
        break;
    case PictureUsedBand:
        shown.Band = BandColour(figures.UsedPercent);
        break;
    case PictureCpuNumber:
        shown.Number = figures.CpuLoad;
        break;
    case PictureFreeNumber:
        shown.Number = figures.FreeMB;
        break;
    case PicturePlain:
        break;
    }
    FormatTrayTip(tipPattern, figures, shown.Tip);
    *out = shown;
}

bool SameTrayPicture(const TTrayShown& a, const TTrayShown& b)
{
    return a.Picture == b.Picture && a.Width == b.Width && a.Height == b.Height &&
           a.Band == b.Band && a.Number == b.Number;
}

bool SameTrayShown(const TTrayShown& a, const TTrayShown& b)
{
    return SameTrayPicture(a, b) && TextEquals(a.Tip, b.Tip);
}
