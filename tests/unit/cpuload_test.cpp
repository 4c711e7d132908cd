// The processor load from idle time, and the baseline each sample moves.
#include <gtest/gtest.h>

#include <cstdint>

#include "../../host/cpuload.h"

namespace {

TEST(LoadFromIdle, WorkedExamplesHalvesAndGarbage)
{
    EXPECT_EQ(50, LoadFromIdle(5000000, 1000));
    EXPECT_EQ(0, LoadFromIdle(10000000, 1000));
    EXPECT_EQ(-1, LoadFromIdle(10100000, 1000)); // not clamped
    EXPECT_EQ(25, LoadFromIdle(15000000, 2000));
    EXPECT_EQ(100, LoadFromIdle(50000, 1000)); // 99.5
    EXPECT_EQ(98, LoadFromIdle(150000, 1000)); // 98.5
    EXPECT_EQ(0, LoadFromIdle(5000000, 0));
    // A garbled counter gives a number far out of range, never overflow.
    EXPECT_LT(LoadFromIdle(INT64_MAX, 1), -1000000);
    EXPECT_GT(LoadFromIdle(INT64_MIN, 1), 1000000);
}

TEST(AdvanceBaseline, SameTickAndTheWrapGive0ThenMeasureAgain)
{
    TCpuBaseline b = {0, 0, 1000};
    EXPECT_EQ(50, AdvanceBaseline(&b, 2000, 5000000));
    EXPECT_EQ(25, AdvanceBaseline(&b, 4000, 20000000));
    EXPECT_EQ(0, AdvanceBaseline(&b, 4000, 20500000));
    EXPECT_EQ(4000u, b.LastTick);
    EXPECT_EQ(20000000, b.PreviousIdle);
    EXPECT_EQ(50, AdvanceBaseline(&b, 5000, 25500000));
    b.LastTick = UINT32_MAX - 100;
    EXPECT_EQ(0, AdvanceBaseline(&b, 900, 28000000));
    EXPECT_EQ(900u, b.LastTick);
    EXPECT_EQ(50, AdvanceBaseline(&b, 1900, 33000000));
}

} // namespace
