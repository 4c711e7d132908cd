#include <gtest/gtest.h>

#include "../../host/logic/dialogs.h"

namespace {

// A 1024x768 screen with a 30-pixel taskbar at the bottom.
const TArea kWork = {0, 0, 1024, 738};

TPlacement Snapped(int x, int y, int width = 200, int height = 400)
{
    TPlacement p = {x, y, width, height};
    SnapToWorkArea(&p, kWork);
    return p;
}

TEST(SnapToWorkArea, EdgesWithinTwentyPixelsStickAndTwentyOneMoveFreely)
{
    EXPECT_EQ(0, Snapped(20, 100).X);
    EXPECT_EQ(21, Snapped(21, 100).X);
    EXPECT_EQ(0, Snapped(100, 20).Y);
    EXPECT_EQ(21, Snapped(100, 21).Y);
    // Right: 804 + 200 = 1004 = 1024 - 20.
    EXPECT_EQ(824, Snapped(804, 100).X);
    EXPECT_EQ(803, Snapped(803, 100).X);
    // Bottom: 318 + 400 = 718 = 738 - 20.
    EXPECT_EQ(338, Snapped(100, 318).Y);
    EXPECT_EQ(317, Snapped(100, 317).Y);
    // A free position is left as proposed.
    TPlacement free = {300, 200, 200, 400};
    EXPECT_FALSE(SnapToWorkArea(&free, kWork));
    EXPECT_EQ(300, free.X);
    EXPECT_EQ(200, free.Y);
}

TEST(SnapToWorkArea, AnEdgeBeyondTheWorkAreaIsPulledInside)
{
    EXPECT_EQ(0, Snapped(-150, 100).X);
    EXPECT_EQ(824, Snapped(990, 100).X);
    EXPECT_EQ(0, Snapped(100, -300).Y);
    EXPECT_EQ(338, Snapped(100, 700).Y);
    // A work area that does not start at 0 (taskbar at the top or left).
    TArea shifted = {60, 30, 1024, 768};
    TPlacement p = {0, 0, 200, 400};
    EXPECT_TRUE(SnapToWorkArea(&p, shifted));
    EXPECT_EQ(60, p.X);
    EXPECT_EQ(30, p.Y);
}

TEST(SnapToWorkArea, AWindowLargerThanTheWorkAreaKeepsItsRightAndBottomEdgesInside)
{
    // 1024 - 1200 and 738 - 900, from either side.
    TPlacement p = Snapped(-50, -80, 1200, 900);
    EXPECT_EQ(-176, p.X);
    EXPECT_EQ(-162, p.Y);
    p = Snapped(100, 200, 1200, 900);
    EXPECT_EQ(-176, p.X);
    EXPECT_EQ(-162, p.Y);
}

TEST(StoredCoordinate, LowSixteenBitsReadBackAsSigned)
{
    EXPECT_EQ(0, StoredCoordinate(0));
    EXPECT_EQ(1023, StoredCoordinate(1023));
    EXPECT_EQ(-10, StoredCoordinate(0xFFF6));
    EXPECT_EQ(-1280, StoredCoordinate(uint16_t(-1280)));
    EXPECT_EQ(32767, StoredCoordinate(0x7FFF));
    EXPECT_EQ(-32768, StoredCoordinate(0x8000));
}

TEST(KeepOnScreen, APositionOffTheScreenComesBackOnIt)
{
    const TArea screen = {0, 0, 1024, 768};
    const struct {
        int x, y, expectedX, expectedY;
    } cases[] = {
        {100, 100, 100, 100},     // on the screen: untouched
        {-10, -5, 0, 0},          // partly off the left and top
        {32767, 32767, 824, 368}, // far beyond
        {-32768, 500, 0, 368},    // a monitor left of this one that is gone
        {900, 100, 824, 100},     // partly off the right
    };
    for (const auto& c : cases) {
        TPlacement p = {c.x, c.y, 200, 400};
        KeepOnScreen(&p, screen);
        EXPECT_EQ(c.expectedX, p.X) << c.x << "," << c.y;
        EXPECT_EQ(c.expectedY, p.Y) << c.x << "," << c.y;
    }
    // A second monitor left of the primary one is a place of its own.
    const TArea twoScreens = {-1280, 0, 1024, 1024};
    TPlacement p = {-1000, 100, 200, 400};
    KeepOnScreen(&p, twoScreens);
    EXPECT_EQ(-1000, p.X);
}

} // namespace
