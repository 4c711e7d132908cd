// The information refresh's pause.
#include <gtest/gtest.h>

#include "../../host/logic/inforefresh.h"

TEST(RefreshPause, AFloorForZeroAndTinyPeriods)
{
    EXPECT_EQ(100u, RefreshPause(0));
    EXPECT_EQ(100u, RefreshPause(99));
    EXPECT_EQ(500u, RefreshPause(500));
    EXPECT_EQ(65535u, RefreshPause(65535));
}
