// The monitor's tick rule against its timing table, its thresholds, and the
// refresh thread's pause.
#include <gtest/gtest.h>

#include <cstdint>

#include "../../host/amounts.h"
#include "../../common/settings_record.h"
#include "../../host/monitorrule.h"

namespace {

// Runs ticks 1..n (tick 1 sees `count`) and checks each against `expect`,
// which gets the tick and returns {critical test, automatic cleaning}.
template <typename F> int CheckTicks(uint16_t interval, int n, F expect, uint16_t count = 0)
{
    int firstClean = 0;
    for (int t = 1; t <= n; ++t) {
        TTickPlan p = PlanTick(count, interval);
        std::pair<bool, bool> want = expect(t);
        EXPECT_EQ(want.first, p.CriticalTest) << "interval " << interval << " tick " << t;
        EXPECT_EQ(want.second, p.AutoClean) << "interval " << interval << " tick " << t;
        if (p.AutoClean && !firstClean)
            firstClean = t;
        count = p.NextCount;
    }
    return firstClean;
}

TEST(PlanTick, TheTimingTable)
{
    // 0: a test at tick 62 and every 61 ticks after, never a cleaning; 1:
    // both together at those ticks.
    auto every61 = [](int t) { return t >= 62 && (t - 62) % 61 == 0; };
    CheckTicks(0, 5000, [&](int t) { return std::make_pair(every61(t), false); });
    CheckTicks(1, 5000, [&](int t) { return std::make_pair(every61(t), every61(t)); });
    // N >= 2: cleanings at 60N + 1 and every 60N ticks; a test on every tick
    // whose counter (t - 1 before the first cleaning, then 1, 2, ...) is
    // above 60.
    for (int n : {2, 30}) {
        const int period = 60 * n, first = period + 1;
        CheckTicks(uint16_t(n), 3 * period + 200, [&](int t) {
            int count = t <= first ? t - 1 : (t - first - 1) % period + 1;
            return std::make_pair(count > 60, t >= first && (t - first) % period == 0);
        });
    }
}

TEST(PlanTick, WrapLoweredIntervalAndUnreachableIntervals)
{
    EXPECT_EQ(0, PlanTick(65535, 2000).NextCount);
    // 16 minutes counted, the interval then lowered to 10: the next cleaning
    // waits for the counter to wrap and climb to 600.
    int ticks = 1;
    for (uint16_t count = 1000; !PlanTick(count, 10).AutoClean; ++ticks)
        count = PlanTick(count, 10).NextCount;
    EXPECT_EQ(65536 - 1000 + 600 + 1, ticks);
    // 1093 and above: count div 60 is at most 1092.
    for (uint16_t interval : {1093, 65535})
        for (uint32_t count = 0; count <= 65535; ++count)
            ASSERT_FALSE(PlanTick(uint16_t(count), interval).AutoClean) << interval;
    EXPECT_TRUE(PlanTick(65520, 1092).AutoClean);
}

TEST(MonitorThresholds, StrictComparisonsAndTheDefaultAmounts)
{
    EXPECT_FALSE(MemoryCritical(95, 95));
    EXPECT_TRUE(MemoryCritical(96, 95));
    EXPECT_FALSE(ProcessorQuiet(80, 80));
    EXPECT_TRUE(ProcessorQuiet(79, 80));
    // A sample below 0 is an idle processor, yet a limit of 0 lets none by.
    EXPECT_TRUE(ProcessorQuiet(-1, 80));
    EXPECT_FALSE(ProcessorQuiet(-1, 0));
    EXPECT_EQ(115, PercentOfTotal(256, kDefaultSettings.AutoCleanPercent));
    EXPECT_EQ(64, PercentOfTotal(256, kDefaultSettings.CriticalCleanPercent));
}

TEST(RefreshPause, AFloorForZeroAndTinyPeriods)
{
    EXPECT_EQ(100u, RefreshPause(0));
    EXPECT_EQ(100u, RefreshPause(99));
    EXPECT_EQ(500u, RefreshPause(500));
    EXPECT_EQ(65535u, RefreshPause(65535));
}

} // namespace
