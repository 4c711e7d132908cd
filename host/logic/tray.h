// What the tray icon shows for each TrayIconMode, in which colours, at which
// size, with which tip; and whether a tick would show what is shown already.
#pragma once
#include <stdint.h>

enum TTrayPicture {
    PicturePlain,      // light grey square only
    PictureCpuBand,    // processor load as a colour band
    PictureCpuNumber,  // processor load as digits on a green band
    PictureUsedBand,   // physical memory in use as a colour band
    PictureFreeNumber, // free physical MB as digits on a green band
};

// Modes 1 to 4 have their pictures; any other value, 0 included, the plain
// square (0 is never drawn by the refresh).
TTrayPicture TrayPictureOf(int mode);

// Colours as 0x00BBGGRR, the order GDI takes them in.
enum : uint32_t {
    kTrayGrey = 0xC0C0C0,
    kBrightGreen = 0x00FF00,
    kDarkGreen = 0x008000,
    kYellow = 0x00FFFF,
    kRed = 0x0000FF,
    kBlack = 0x000000,
};

// 0..25 bright green, 26..50 dark green, 51..75 yellow, above 75 or below 0
// red.
uint32_t BandColour(int32_t percent);

// The picture's geometry at the system's small-icon size: the 16 x 16 layout
// (band rows 3..12, a font cell of 11, digits from 1, 3) scaled and rounded
// to whole pixels, halves to even. At 16 x 16 it is that layout exactly.
struct TTrayLayout {
    int Width, Height;
    int BandTop, BandBottom; // rows BandTop .. BandBottom - 1
    int FontHeight;
    int TextX, TextY;
};
TTrayLayout TrayLayout(int width, int height);

// The figures one tick reads, handed to the picture, its tip and the
// critical test alike.
struct TTrayFigures {
    int32_t CpuLoad;     // percent
    int32_t FreeMB;      // free physical memory
    int32_t UsedPercent; // physical memory in use
    int32_t TotalMB = 0; // physical memory; 0 when not known
};

// Width in pixels of `length` characters of `text` as they would be drawn
// in the number font `fontHeight` pixels high.
typedef int (*TTextWidth)(void* context, int fontHeight, const char* text, int length);

enum { kMinNumberFont = 6 }; // the smallest number font, in pixels
struct TTrayNumber {
    char Text[16];
    int Length;
    int FontHeight;
};
// `value` as it fits in `room` pixels: its digits, or for an amount
// (`megabytes`, not below 0) whole gigabytes with "G", then whole terabytes
// with "T". Each form is tried in the font `fontHeight` high, then in ever
// smaller ones down to half that (kMinNumberFont at least); a larger font
// goes before a longer form. When nothing fits, the shortest form in the
// smallest font.
void TrayNumberText(int32_t value, bool megabytes, int room, int fontHeight, TTextWidth width,
                    void* context, TTrayNumber* out);

enum { kTipSize = 64 }; // the shell's tip field, 63 characters and a zero
// "Brindlecap", and on a second line `pattern` with its first "#" replaced
// by the free MB and its second by the processor load; cut to 63 characters.
// `oneLine` for a shell that shows a line break as a box: " - " instead.
void FormatTrayTip(const char* pattern, const TTrayFigures& figures, char out[kTipSize],
                   bool oneLine = false);
// Whether the shell shows a line break in a tip: Windows 2000 and later
// (the NT line from 5), not 95, 98, Me or NT 4.
bool TipTakesLineBreak(bool nt, uint32_t majorVersion);

// Everything the shown icon displays. Two ticks that describe the same
// picture need no drawing and no word to the shell.
struct TTrayShown {
    TTrayPicture Picture;
    int Width, Height;
    uint32_t Band;  // colour band kinds
    int32_t Number; // number kinds
    char Tip[kTipSize];
    TTrayFigures TipFigures; // what the tip was made of
};
void DescribeTray(int mode, int width, int height, const TTrayFigures& figures,
                  const char* tipPattern, TTrayShown* out, bool oneLineTip = false);
// Whether the tip the shell shows (`shown`) is worth a new one (`now`): its
// free memory moved by 1 % of the total or more (by 1 MB when the total is
// not known), or its load by kTipLoadStep points or more. The idle tick's
// figures wander by less, and a new tip costs the shell a round trip.
enum { kTipLoadStep = 5 };
bool TrayTipDue(const TTrayShown& shown, const TTrayShown& now);
bool SameTrayShown(const TTrayShown& a, const TTrayShown& b);
// The same picture, whatever the tips: a new tip alone needs no drawing.
bool SameTrayPicture(const TTrayShown& a, const TTrayShown& b);
