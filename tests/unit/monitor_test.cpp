// The monitor's tick rule against its timing table, its thresholds, and the
// refresh thread's pause.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "../../host/logic/amounts.h"
#include "../../common/logic/settingsfile.h"
#include "../../host/logic/inforefresh.h"
#include "../../host/logic/monitor.h"

namespace {

// Runs ticks 1..n (tick 1 sees `count`) and checks each against `expect`,
// which gets the tick and returns {critical test, automatic cleaning}.
template <typename F> int CheckTicks(uint16_t interval, int n, F expect, uint16_t count = 0)
{
    int firstClean = 0;
    for (int t = 1; t <= n; ++t) {
        TTickPlan p = PlanTick({count, 0}, interval);
        std::pair<bool, bool> want = expect(t);
        EXPECT_EQ(want.first, p.CriticalTest) << "interval " << interval << " tick " << t;
        EXPECT_EQ(want.second, p.AutoClean) << "interval " << interval << " tick " << t;
        if (p.AutoClean && !firstClean)
            firstClean = t;
        count = p.Next.Count;
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
    EXPECT_EQ(0, PlanTick({65535, 0}, 2000).Next.Count);
    // Counted minutes against a lowered interval: reaching it or passing it
    // fires at once and the count starts again.
    const struct {
        uint16_t Count, Interval;
        bool Fires;
    } rows[] = {
        {1000, 10, true}, // 16 minutes counted, the interval lowered to 10
        {600, 10, true},  {599, 10, false}, {65535, 1, true}, {120, 1, true}, {61, 5, false},
    };
    for (auto r : rows) {
        TTickPlan p = PlanTick({r.Count, 0}, r.Interval);
        EXPECT_EQ(r.Fires, p.AutoClean) << r.Count << " / " << r.Interval;
        EXPECT_EQ(r.Fires ? 1 : uint16_t(r.Count + 1), p.Next.Count) << r.Count;
    }
    // 1093 and above: count div 60 is at most 1092.
    for (uint16_t interval : {1093, 65535})
        for (uint32_t count = 0; count <= 65535; ++count)
            ASSERT_FALSE(PlanTick({uint16_t(count), 0}, interval).AutoClean) << interval;
    EXPECT_TRUE(PlanTick({65520, 0}, 1092).AutoClean);
}

// Ticks 1..n with memory always short, each critical test cleaning: the
// ticks of the critical and of the automatic cleanings.
void CleanTicks(uint16_t interval, int n, std::vector<int>* critical, std::vector<int>* autoClean)
{
    TMonitorClock clock = {0, 0};
    for (int t = 1; t <= n; ++t) {
        TTickPlan p = PlanTick(clock, interval);
        if (p.CriticalTest) {
            critical->push_back(t);
            NoteCriticalClean(&p);
        }
        if (p.AutoClean)
            autoClean->push_back(t);
        clock = p.Next;
    }
}

TEST(PlanTick, ACriticalCleaningRestsTheCriticalTestSixtyTicks)
{
    const struct {
        uint16_t Interval;
        std::vector<int> Critical, Auto;
    } rows[] = {
        // The automatic timing is the one without critical cleanings; after
        // each reset the first minute still passes without a test.
        {0, {62, 123, 184, 245, 306, 367}, {}},
        {1, {62, 123, 184, 245, 306, 367}, {62, 123, 184, 245, 306, 367}},
        {2, {62, 182, 302}, {121, 241, 361}},
        {5, {62, 123, 184, 245, 362}, {301}},
        {30, {62, 123, 184, 245, 306, 367}, {}},
    };
    for (const auto& r : rows) {
        std::vector<int> critical, autoClean;
        CleanTicks(r.Interval, 400, &critical, &autoClean);
        EXPECT_EQ(r.Critical, critical) << "interval " << r.Interval;
        EXPECT_EQ(r.Auto, autoClean) << "interval " << r.Interval;
    }
    // The rest counts down on every tick, first minute included.
    TTickPlan p = PlanTick({10, 60}, 2);
    EXPECT_FALSE(p.CriticalTest);
    EXPECT_EQ(59, p.Next.CriticalRest);
    EXPECT_FALSE(PlanTick({100, 1}, 2).CriticalTest);
    EXPECT_TRUE(PlanTick({100, 0}, 2).CriticalTest);
    EXPECT_EQ(0, PlanTick({100, 0}, 2).Next.CriticalRest);
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
