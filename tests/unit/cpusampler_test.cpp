// The processor load from idle time, and the baseline each sample moves.
#include <gtest/gtest.h>

#include <cstdint>

#include "../../host/logic/cpusampler.h"

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

TEST(LoadFromIdle, AllProcessorsIdleSummedAgainstElapsedTimesTheirCount)
{
    const struct {
        int64_t Idle;
        uint32_t Ms;
        int32_t Processors, Load;
    } rows[] = {
        {10000000, 1000, 2, 50}, // one of two idle all second
        {20000000, 1000, 2, 0},  // both idle
        {5000000, 1000, 2, 75},  //
        {15000000, 2000, 4, 81}, // 81.25
        {20200000, 1000, 2, -1}, // not clamped
        {10000000, 1000, 0, 0},  // no count: one processor
        {5000000, 1000, 1, 50},  // the single-processor figure unchanged
        {4000000, 1000, 8, 95},  //
        {9900000, 1000, 2, 50},  // 50.5, to the even neighbour
    };
    for (auto r : rows)
        EXPECT_EQ(r.Load, LoadFromIdle(r.Idle, r.Ms, r.Processors))
            << r.Idle << " " << r.Processors;
    // Nothing a query can hand back overflows.
    EXPECT_LT(LoadFromIdle(INT64_MAX, UINT32_MAX, INT32_MAX), 101);
    EXPECT_GT(LoadFromIdle(INT64_MIN, UINT32_MAX, INT32_MAX), 99);
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
    // Two processors: the summed idle time against twice the interval.
    EXPECT_EQ(50, AdvanceBaseline(&b, 2900, 43000000, 2));
    EXPECT_EQ(0, AdvanceBaseline(&b, 2900, 44000000, 2));
}

} // namespace
