// Which picture each tray mode draws, and the band colours.
#include <gtest/gtest.h>

#include <cstdint>

#include "../../host/traypicture.h"

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
