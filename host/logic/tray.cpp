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

void TrayNumberText(int32_t value, bool megabytes, int room, int fontHeight, TTextWidth width,
                    void* context, TTrayNumber* out)
{
    // The forms, longest first: digits, then whole gigabytes and terabytes.
    char forms[3][16];
    int lengths[3];
    int count = 1;
    lengths[0] = FormatDecimal(value, forms[0]);
    if (megabytes && value >= 0) {
        static const int kShifts[] = {10, 20};
        static const char kUnits[] = {'G', 'T'};
        for (int i = 0; i < 2; ++i) {
            // "0T" would tell less than nothing.
            if (RoundRatio(value, int64_t(1) << kShifts[i]) == 0)
                break;
            lengths[count] = ScaledText(value, kShifts[i], kUnits[i], forms[count]);
            ++count;
        }
    }
    int smallest = fontHeight / 2 > kMinNumberFont ? fontHeight / 2 : kMinNumberFont;
    if (smallest > fontHeight)
        smallest = fontHeight;
    // The shortest in the smallest font, unless something fits.
    int chosen = count - 1;
    out->FontHeight = smallest;
    bool found = false;
    for (int h = fontHeight; h >= smallest && !found; --h)
        for (int i = 0; i < count && !found; ++i)
            if (width(context, h, forms[i], lengths[i]) <= room) {
                found = true;
                chosen = i;
                out->FontHeight = h;
            }
    CopyText(out->Text, sizeof out->Text, forms[chosen]);
    out->Length = lengths[chosen];
}

bool TipTakesLineBreak(bool nt, uint32_t majorVersion) { return nt && majorVersion >= 5; }

void FormatTrayTip(const char* pattern, const TTrayFigures& figures, char out[kTipSize],
                   bool oneLine)
{
    int length = CopyText(out, kTipSize, oneLine ? "Brindlecap - " : "Brindlecap\n");
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
                  const char* tipPattern, TTrayShown* out, bool oneLineTip)
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
    FormatTrayTip(tipPattern, figures, shown.Tip, oneLineTip);
    shown.TipFigures = figures;
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

bool TrayTipDue(const TTrayShown& shown, const TTrayShown& now)
{
    const TTrayFigures& a = shown.TipFigures;
    const TTrayFigures& b = now.TipFigures;
    int64_t step = b.TotalMB / 100 > 1 ? b.TotalMB / 100 : 1;
    int64_t free = int64_t(a.FreeMB) - b.FreeMB;
    int64_t load = int64_t(a.CpuLoad) - b.CpuLoad;
    return free >= step || -free >= step || load >= kTipLoadStep || -load >= kTipLoadStep;
}
