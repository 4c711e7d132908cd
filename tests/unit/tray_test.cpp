// Which picture each tray mode draws, and the band colours.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "../../host/logic/tray.h"

TEST(BandColour, ThresholdsAndOutOfRange)
{
    const std::pair<int32_t, uint32_t> cases[] = {
        {0, kBrightGreen}, {25, kBrightGreen}, {26, kDarkGreen}, {50, kDarkGreen},
        {51, kYellow},     {75, kYellow},      {76, kRed},       {101, kRed},
        {-1, kRed},        {INT32_MIN, kRed},
    };
    for (auto c : cases)
        EXPECT_EQ(c.second, BandColour(c.first)) << c.first;
    EXPECT_EQ(0x0000FFu, uint32_t(kRed)); // red in GDI's low byte
}

TEST(TrayPictureOf, ModesOneToFourAndAnythingElse)
{
    EXPECT_EQ(PictureCpuBand, TrayPictureOf(1));
    EXPECT_EQ(PictureCpuNumber, TrayPictureOf(2));
    EXPECT_EQ(PictureUsedBand, TrayPictureOf(3));
    EXPECT_EQ(PictureFreeNumber, TrayPictureOf(4));
    for (int mode : {0, 5, 7, 255, -1})
        EXPECT_EQ(PicturePlain, TrayPictureOf(mode)) << mode;
}

TEST(TrayLayout, TheSixteenSquareExactlyAndScaledRoundedHalvesToEven)
{
    // width, height -> band top, band bottom, font cell, text x, text y
    const int rows[][7] = {
        {16, 16, 3, 13, 11, 1, 3},    {20, 20, 4, 16, 14, 1, 4}, {24, 24, 4, 20, 16, 2, 4},
        {32, 32, 6, 26, 22, 2, 6},    {40, 40, 8, 32, 28, 2, 8}, {24, 20, 4, 16, 14, 2, 4},
        {0, 0, 3, 13, 11, 1, 3}, // nothing sensible: the classic square
        {-5, 99999, 3, 13, 11, 1, 3},
    };
    for (auto r : rows) {
        TTrayLayout l = TrayLayout(r[0], r[1]);
        int got[] = {l.BandTop, l.BandBottom, l.FontHeight, l.TextX, l.TextY};
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(r[2 + i], got[i]) << r[0] << "x" << r[1] << " field " << i;
    }
    EXPECT_EQ(24, TrayLayout(24, 20).Width);
    EXPECT_EQ(20, TrayLayout(24, 20).Height);
}

namespace {

// Five pixels a character, as "Small Fonts" draws digits at 16 x 16.
int FivePerChar(void*, int, const char*, int length) { return 5 * length; }
// Characters six tenths of the font's height wide, rounded up: the wider
// stand-in of a system without "Small Fonts".
int SixTenths(void*, int height, const char*, int length) { return (6 * height + 9) / 10 * length; }

} // namespace

TEST(TrayNumberText, DigitsThatFitElseWholeGigabytesNeverCut)
{
    const struct {
        int32_t Value;
        int Room;
        const char* Text;
    } rows[] = {
        {999, 15, "999"},         {0, 15, "0"},        {-1, 15, "-1"},       {23782, 15, "23G"},
        {1023, 15, "1G"},         {1536, 15, "2G"},    {2560, 15, "2G"},     {9999, 15, "10G"},
        {1048576, 15, "1T"},      {2097151, 15, "2T"}, {23782, 25, "23782"}, {1024, 20, "1024"},
        {INT32_MAX, 15, "2048T"}, // nothing fits: the shortest
        {-5000, 15, "-5000"},     // only amounts turn into gigabytes
        {523263, 15, "511G"},     // never "0T"
    };
    for (auto r : rows) {
        TTrayNumber n;
        TrayNumberText(r.Value, true, r.Room, 11, FivePerChar, nullptr, &n);
        EXPECT_STREQ(r.Text, n.Text) << r.Value;
        EXPECT_EQ(int(strlen(r.Text)), n.Length) << r.Value;
    }
}

TEST(TrayNumberText, TheFontShrinksBeforeTheUnitChangesAndALoadNeverTurnsIntoGigabytes)
{
    // value, an amount?, room, font -> text, font drawn (6 tenths: 16 is 10
    // a character, 11 is 7, 8 is 5, 6 is 4)
    const struct {
        int32_t Value;
        bool Megabytes;
        int Room, Font;
        const char* Text;
        int Drawn;
    } rows[] = {
        {100, false, 23, 16, "100", 11},  // the load at 24 pixels: three digits fit
        {100, false, 16, 11, "100", 8},   // and at 16
        {23552, true, 23, 16, "23G", 11}, // gigabytes in the largest font they fit in
        {23552, true, 40, 16, "23G", 16}, // the layout's font before the digits
        {1000, false, 15, 11, "1000", 6}, // nothing fits: the smallest font, never below 6
        {7, true, 23, 3, "7", 3},         // a font below 6 is kept
    };
    for (auto r : rows) {
        TTrayNumber n;
        TrayNumberText(r.Value, r.Megabytes, r.Room, r.Font, SixTenths, nullptr, &n);
        EXPECT_STREQ(r.Text, n.Text) << r.Value << " in " << r.Room;
        EXPECT_EQ(r.Drawn, n.FontHeight) << r.Value << " in " << r.Room;
    }
}

TEST(FormatTrayTip, NameThenFreeMegabytesAndLoadWithinSixtyThreeCharacters)
{
    char tip[kTipSize];
    FormatTrayTip("Free # MB, CPU #%", {12, 23782, 40}, tip);
    EXPECT_STREQ("Brindlecap\nFree 23782 MB, CPU 12%", tip);
    FormatTrayTip("# #", {-1, 0, 0}, tip);
    EXPECT_STREQ("Brindlecap\n0 -1", tip);
    FormatTrayTip("", {1, 2, 3}, tip);
    EXPECT_STREQ("Brindlecap\n", tip);
    // A third "#" is text; a long pattern is cut at 63 characters.
    FormatTrayTip("# # #", {1, 2, 3}, tip);
    EXPECT_STREQ("Brindlecap\n2 1 #", tip);
    std::string longPattern(100, 'x');
    FormatTrayTip(("#" + longPattern).c_str(), {INT32_MIN, INT32_MIN, 0}, tip);
    EXPECT_EQ(63u, strlen(tip));
    EXPECT_EQ("Brindlecap\n-2147483648" + std::string(63 - 22, 'x'), tip);
    // On one line after a dash where the shell shows no line break.
    FormatTrayTip("Free # MB, CPU #%", {12, 23782, 40}, tip, true);
    EXPECT_STREQ("Brindlecap - Free 23782 MB, CPU 12%", tip);
}

TEST(TrayTipDue, FreeMemoryByOnePercentOfTheTotalOrTheLoadByFivePoints)
{
    // free MB, load, total shown -> free MB, load, total now -> a new tip?
    const struct {
        int32_t Free, Load, OtherFree, OtherLoad, Total;
        bool Due;
    } rows[] = {
        {20000, 1, 20239, 3, 24000, false}, // the idle tick's wander
        {20000, 1, 19760, 1, 24000, true},  // 1 % of 24000 MB
        {20000, 6, 20000, 1, 24000, true},  // five points of load
    };
    for (auto r : rows) {
        TTrayShown a, b;
        DescribeTray(1, 16, 16, {r.Load, r.Free, 50, r.Total}, "# #", &a);
        DescribeTray(1, 16, 16, {r.OtherLoad, r.OtherFree, 50, r.Total}, "# #", &b);
        EXPECT_EQ(r.Due, TrayTipDue(a, b)) << r.OtherFree << " " << r.OtherLoad;
    }
}

TEST(DescribeTray, WhatTheIconShowsDecidesWhetherToDrawAgain)
{
    const TTrayFigures base = {12, 23782, 40};
    TTrayShown a, b;
    // mode, figures that differ from base -> the same picture and tip? the
    // same picture (a new tip alone is handed over without drawing)?
    const struct {
        int Mode;
        TTrayFigures Other;
        bool Same, SamePicture;
    } rows[] = {
        {1, {12, 23782, 90}, true, true},   // used memory is not on a processor band
        {1, {20, 23782, 40}, false, true},  // the tip's load changed
        {3, {12, 23782, 45}, true, true},   // same band colour
        {3, {12, 23782, 60}, false, false}, // yellow now
        {4, {12, 23783, 40}, false, false}, // one MB more
        {2, {12, 23783, 40}, false, true},  // the load's number stays; the tip's MB moved
        {7, {12, 23782, 99}, true, true},   // a plain square
        {7, {13, 23782, 40}, false, true},  // the tip again
    };
    for (auto r : rows) {
        DescribeTray(r.Mode, 16, 16, base, "# #", &a);
        DescribeTray(r.Mode, 16, 16, r.Other, "# #", &b);
        EXPECT_EQ(r.Same, SameTrayShown(a, b)) << "mode " << r.Mode;
        EXPECT_EQ(r.SamePicture, SameTrayPicture(a, b)) << "mode " << r.Mode;
    }
    DescribeTray(2, 16, 16, base, "# #", &a);
    DescribeTray(2, 24, 24, base, "# #", &b);
    EXPECT_FALSE(SameTrayShown(a, b)); // another size
    DescribeTray(4, 16, 16, base, "# #", &b);
    EXPECT_FALSE(SameTrayShown(a, b)); // another mode
    EXPECT_EQ(PictureCpuNumber, a.Picture);
    EXPECT_EQ(12, a.Number);
    EXPECT_STREQ("Brindlecap\n23782 12", a.Tip);
}
