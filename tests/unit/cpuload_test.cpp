// The processor load from idle time, and the baseline each sample moves.
#include <gtest/gtest.h>

#include <cstdint>

#include "../../host/cpuload.h"

namespace {

TEST(LoadFromIdle, WorkedExamples)
{
    EXPECT_EQ(50, LoadFromIdle(5000000, 1000));
    EXPECT_EQ(0, LoadFromIdle(10000000, 1000));
    EXPECT_EQ(-1, LoadFromIdle(10100000, 1000)); // not clamped
    EXPECT_EQ(25, LoadFromIdle(15000000, 2000));
    EXPECT_EQ(100, LoadFromIdle(0, 1000));
    EXPECT_EQ(101, LoadFromIdle(-100000, 1000));
}

TEST(LoadFromIdle, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(100, LoadFromIdle(50000, 1000));   // 99.5
    EXPECT_EQ(98, LoadFromIdle(150000, 1000));   // 98.5
    EXPECT_EQ(2, LoadFromIdle(9750000, 1000));   // 2.5
    EXPECT_EQ(33, LoadFromIdle(20000000, 3000)); // 33.33
}

TEST(LoadFromIdle, GarbledCountersStayDefined)
{
    EXPECT_EQ(0, LoadFromIdle(5000000, 0));
    EXPECT_LT(LoadFromIdle(INT64_MAX, 1), -1000000);
    EXPECT_GT(LoadFromIdle(INT64_MIN, 1), 1000000);
    EXPECT_LT(LoadFromIdle(INT64_MAX, UINT32_MAX), 0);
}

TEST(AdvanceBaseline, EachSampleMeasuresSinceTheOneBefore)
{
    TCpuBaseline b = {0, 0, 1000};
    EXPECT_EQ(50, AdvanceBaseline(&b, 2000, 5000000));
    EXPECT_EQ(0, b.PreviousIdle);
    EXPECT_EQ(5000000, b.CurrentIdle);
    EXPECT_EQ(25, AdvanceBaseline(&b, 4000, 20000000));

    // The same tick count: 0, the last tick unchanged, the idle time moved.
    EXPECT_EQ(0, AdvanceBaseline(&b, 4000, 20500000));
    EXPECT_EQ(4000u, b.LastTick);
    EXPECT_EQ(20000000, b.PreviousIdle);
    EXPECT_EQ(20500000, b.CurrentIdle);
    EXPECT_EQ(50, AdvanceBaseline(&b, 5000, 25500000));
}

TEST(AdvanceBaseline, TheTickCountWrapsAfter49Days)
{
    TCpuBaseline b = {0, 0, UINT32_MAX - 100};
    EXPECT_EQ(0, AdvanceBaseline(&b, 900, 3000000));
    EXPECT_EQ(900u, b.LastTick);
    EXPECT_EQ(50, AdvanceBaseline(&b, 1900, 8000000));
}

bool ReadNothing(void*, TCpuReading*) { return false; }

TEST(TakeCpuSample, NothingToReadLeavesTheBaseline)
{
    TCpuSampler s = {};
    InitLock(&s.Guard);
    s.Baseline = {1, 2, 3};
    EXPECT_EQ(100, TakeCpuSample(&s, ReadNothing, nullptr, 100));
    EXPECT_EQ(1, s.Baseline.PreviousIdle);
    EXPECT_EQ(2, s.Baseline.CurrentIdle);
    EXPECT_EQ(3u, s.Baseline.LastTick);
}

} // namespace
