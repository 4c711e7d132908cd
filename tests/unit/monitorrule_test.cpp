// The monitor's tick rule against its timing table, its thresholds, and the
// refresh thread's pause.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "../../common/rounding.h"
#include "../../common/settings_record.h"
#include "../../host/monitorrule.h"

namespace {

struct TTick {
    bool critical, autoClean;
};

// Ticks 1..n from a fresh start (tick 1 sees count 0).
std::vector<TTick> RunTicks(uint16_t interval, int n, uint16_t count = 0)
{
    std::vector<TTick> ticks(1);
    for (int t = 1; t <= n; ++t) {
        TTickPlan p = PlanTick(count, interval);
        ticks.push_back({p.CriticalTest, p.AutoClean});
        count = p.NextCount;
    }
    return ticks;
}

TEST(PlanTick, IntervalZeroTestsEvery61TicksAndNeverCleans)
{
    auto ticks = RunTicks(0, 5000);
    for (int t = 1; t <= 5000; ++t) {
        SCOPED_TRACE(t);
        EXPECT_EQ(t >= 62 && (t - 62) % 61 == 0, ticks[t].critical);
        EXPECT_FALSE(ticks[t].autoClean);
    }
}

TEST(PlanTick, IntervalOneCleansAtTick62ThenEvery61)
{
    auto ticks = RunTicks(1, 5000);
    for (int t = 1; t <= 5000; ++t) {
        SCOPED_TRACE(t);
        bool due = t >= 62 && (t - 62) % 61 == 0;
        EXPECT_EQ(due, ticks[t].autoClean);
        EXPECT_EQ(due, ticks[t].critical);
    }
}

TEST(PlanTick, LongerIntervalsTestEverySecondButTheFirstMinuteOfEachCycle)
{
    for (uint16_t n : {2, 30}) {
        const int period = 60 * n, first = period + 1, ticksRun = 3 * period + 200;
        auto ticks = RunTicks(n, ticksRun);
        for (int t = 1; t <= ticksRun; ++t) {
            SCOPED_TRACE(testing::Message() << "interval " << n << " tick " << t);
            bool due = t >= first && (t - first) % period == 0;
            EXPECT_EQ(due, ticks[t].autoClean);
            // The counter each tick sees: t - 1 before the first cleaning,
            // then 1, 2, ... after each one.
            int count = t <= first ? t - 1 : (t - first - 1) % period + 1;
            EXPECT_EQ(count > 60, ticks[t].critical);
        }
    }
}

TEST(PlanTick, TheCounterWrapsAt16Bits)
{
    EXPECT_EQ(0, PlanTick(65535, 2000).NextCount);
    EXPECT_EQ(62, PlanTick(61, 2).NextCount);
    EXPECT_EQ(1, PlanTick(120, 2).NextCount);
}

TEST(PlanTick, AnIntervalLoweredBelowTheCountedMinutesWaitsForTheWrap)
{
    // 16 whole minutes counted, the interval then lowered to 10: the next
    // cleaning comes once the counter has wrapped and climbed to 600.
    auto ticks = RunTicks(10, 70000, 1000);
    int first = 0;
    for (int t = 1; t <= 70000 && !first; ++t)
        if (ticks[t].autoClean)
            first = t;
    EXPECT_EQ(65536 - 1000 + 600 + 1, first);
}

TEST(PlanTick, IntervalsFrom1093AreNeverReached)
{
    for (uint16_t interval : {1093, 5000, 65535}) {
        auto ticks = RunTicks(interval, 140000);
        int cleanings = 0;
        for (const TTick& t : ticks)
            cleanings += t.autoClean;
        EXPECT_EQ(0, cleanings) << interval;
    }
    // 1092 still is, at count 65520.
    EXPECT_TRUE(PlanTick(65520, 1092).AutoClean);
}

TEST(MonitorThresholds, StrictComparisons)
{
    EXPECT_FALSE(MemoryCritical(95, 95));
    EXPECT_TRUE(MemoryCritical(96, 95));
    EXPECT_FALSE(MemoryCritical(100, 255));
    EXPECT_FALSE(ProcessorQuiet(80, 80));
    EXPECT_TRUE(ProcessorQuiet(79, 80));
    // A sample below 0 is an idle processor, yet a limit of 0 lets none by.
    EXPECT_TRUE(ProcessorQuiet(-1, 80));
    EXPECT_FALSE(ProcessorQuiet(-1, 0));
    EXPECT_FALSE(ProcessorQuiet(0, 0));
    EXPECT_TRUE(ProcessorQuiet(100, 255));
}

TEST(MonitorAmounts, DefaultsOn256MB)
{
    EXPECT_EQ(115, PercentOfTotal(256, kDefaultSettings.AutoCleanPercent));
    EXPECT_EQ(64, PercentOfTotal(256, kDefaultSettings.CriticalCleanPercent));
    EXPECT_EQ(1800, 60 * kDefaultSettings.AutoCleanInterval);
}

TEST(RefreshPause, AFloorForZeroAndTinyPeriods)
{
    EXPECT_EQ(100u, RefreshPause(0));
    EXPECT_EQ(100u, RefreshPause(1));
    EXPECT_EQ(100u, RefreshPause(100));
    EXPECT_EQ(500u, RefreshPause(kDefaultSettings.InfoRefreshPeriod));
    EXPECT_EQ(65535u, RefreshPause(65535));
}

} // namespace
