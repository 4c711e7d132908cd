// Which picture each tray mode draws, and the band colours.
#include <gtest/gtest.h>

#include <cstdint>

#include "../../host/traypicture.h"

namespace {

TEST(BandColour, ThresholdsAndOutOfRange)
{
    EXPECT_EQ(kBrightGreen, BandColour(0));
    EXPECT_EQ(kBrightGreen, BandColour(25));
    EXPECT_EQ(kDarkGreen, BandColour(26));
    EXPECT_EQ(kDarkGreen, BandColour(50));
    EXPECT_EQ(kYellow, BandColour(51));
    EXPECT_EQ(kYellow, BandColour(75));
    EXPECT_EQ(kRed, BandColour(76));
    EXPECT_EQ(kRed, BandColour(100));
    EXPECT_EQ(kRed, BandColour(101));
    EXPECT_EQ(kRed, BandColour(-1));
    EXPECT_EQ(kRed, BandColour(INT32_MIN));
    EXPECT_EQ(kRed, BandColour(INT32_MAX));
    // The colours as GDI takes them: red in the low byte.
    EXPECT_EQ(0x0000FFu, uint32_t(kRed));
    EXPECT_EQ(0x00FFFFu, uint32_t(kYellow));
    EXPECT_EQ(0xC0C0C0u, uint32_t(kTrayGrey));
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

} // namespace
