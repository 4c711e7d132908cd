#include <gtest/gtest.h>

#include <cstdint>

#include "../../common/logic/rounding.h"

namespace {

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour)
{
    const struct {
        double value;
        int32_t rounded;
    } cases[] = {
        {0.5, 0},
        {1.5, 2},
        {2.5, 2},
        {3.5, 4},
        {12.5, 12},
        {37.5, 38},
        {127.5, 128},
        {-0.5, 0},
        {-1.5, -2},
        {-2.5, -2},
        {-3.5, -4},
        {-127.5, -128},
        {1000000000.5, 1000000000},
        {1000000001.5, 1000000002},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.rounded, RoundHalfEven(c.value)) << c.value;
}

TEST(RoundHalfEven, OtherValuesGoToTheNearest)
{
    const struct {
        double value;
        int32_t rounded;
    } cases[] = {
        {0.0, 0},
        {-0.0, 0},
        {0.49999999999999994, 0},
        {0.5000000001, 1},
        {2.5000000001, 3},
        {2.4999999999, 2},
        {39.0625, 39},
        {39.2157, 39},
        {6.25, 6},
        {18.75, 19},
        {-0.3, 0},
        {-0.7, -1},
        {-2.4, -2},
        {-2.6, -3},
        {7.0, 7},
        {-7.0, -7},
        {2147483647.0, INT32_MAX},
        {-2147483648.0, INT32_MIN},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.rounded, RoundHalfEven(c.value)) << c.value;
}

// The integer quotient must agree with dividing in double precision and
// rounding, which is what the figures are defined by.
TEST(RoundRatio, AgreesWithDoubleDivisionOverASweep)
{
    for (int64_t d = 1; d <= 400; ++d)
        for (int64_t n = -5000; n <= 5000; ++n)
            ASSERT_EQ(RoundHalfEven(double(n) / double(d)), RoundRatio(n, d)) << n << " / " << d;
}

TEST(RoundRatio, AgreesWithDoubleDivisionForMemoryPercentages)
{
    // free MB * 100 over total MB, for machines up to 64 GiB.
    for (int64_t total = 1; total <= 65536; total += 7)
        for (int64_t free = 0; free <= total; free += 1 + total / 97)
            ASSERT_EQ(RoundHalfEven(double(free * 100) / double(total)),
                      RoundRatio(free * 100, total))
                << free << " of " << total;
    // Near the top of the unsigned 32-bit products.
    for (int64_t n = 4294967295 - 20000; n <= 4294967295; ++n)
        ASSERT_EQ(RoundHalfEven(double(n) / 4294967.0), RoundRatio(n, 4294967)) << n;
}

TEST(RoundRatio, SignsAndZeroDenominator)
{
    EXPECT_EQ(2, RoundRatio(5, 2));
    EXPECT_EQ(-2, RoundRatio(-5, 2));
    EXPECT_EQ(-2, RoundRatio(5, -2));
    EXPECT_EQ(2, RoundRatio(-5, -2));
    EXPECT_EQ(4, RoundRatio(7, 2));
    EXPECT_EQ(-4, RoundRatio(-7, 2));
    EXPECT_EQ(-3, RoundRatio(-8, 3));
    EXPECT_EQ(0, RoundRatio(12345, 0));
    EXPECT_EQ(1, RoundRatio(4294967295, 4294967295));
    EXPECT_EQ(100, RoundRatio(429496729500, 4294967295));
}

} // namespace
