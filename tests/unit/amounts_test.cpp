#include <gtest/gtest.h>

#include "../../host/logic/amounts.h"

namespace {

TEST(ComboAmounts, SixteenMegabyteStepsBelowTheTotal)
{
    EXPECT_EQ(15, ComboAmountCount(256));
    EXPECT_EQ(16, ComboAmount(0));
    EXPECT_EQ(240, ComboAmount(14));
    EXPECT_EQ(16, ComboAmountCount(257)); // 256 is below 257
    EXPECT_EQ(0, ComboAmountCount(16));
    EXPECT_EQ(0, ComboAmountCount(1));
    EXPECT_EQ(0, ComboAmountCount(0));
    EXPECT_EQ(0, ComboAmountCount(-5));
    // One run cleans at most 1024 MB: the list ends there.
    EXPECT_EQ(64, ComboAmountCount(24105));
    EXPECT_EQ(64, ComboAmountCount(1041));
    EXPECT_EQ(63, ComboAmountCount(1024));
}

TEST(ReadCleanAmount, TheWholeTextAsANumberThatFitsOrNothing)
{
    const struct {
        const char* text;
        bool taken;
        uint16_t amount;
    } cases[] = {
        {"1024", true, 1024}, {"2064", true, 2064},
        {"48", true, 48},     {"000000000000000064", true, 64},
        {"0", true, 0},       {"65535", true, 65535},
        {"65536", false, 0},  {"999999999999", false, 0},
        {"", false, 0},       {"abc", false, 0},
        {"48abc", false, 0},  {" 64", false, 0},
        {"64 ", false, 0},    {"-1", false, 0},
        {"+64", false, 0},
    };
    for (const auto& c : cases) {
        uint16_t amount = 7;
        EXPECT_EQ(c.taken, ReadCleanAmount(c.text, &amount)) << '"' << c.text << '"';
        EXPECT_EQ(c.taken ? c.amount : 7, amount) << '"' << c.text << '"';
    }
}

TEST(CleanAllAmount, TheTotalLessFifteen)
{
    EXPECT_EQ(241, CleanAllAmount(256));
    EXPECT_EQ(24090, CleanAllAmount(24105));
    EXPECT_EQ(0, CleanAllAmount(15));
}

TEST(PercentOfTotal, AmountsOfTheMenuAndTheMonitor)
{
    const struct {
        int32_t totalMB, percent, amount;
    } cases[] = {
        {255, 50, 128},                                                    // 127.5
        {510, 25, 128},                                                    // 127.5
        {506, 25, 126},                                                    // 126.5
        {1000, 75, 750},    {256, 45, 115},                                // 115.2
        {256, 25, 64},      {256, 50, 128}, {256, 75, 192}, {255, 25, 64}, // 63.75
        {255, 75, 191},                                                    // 191.25
        {254, 25, 64},                                                     // 63.5
        {24105, 25, 6026},                                                 // 6026.25
        {24105, 45, 10847},                                                // 10847.25
        {0, 50, 0},         {1000, 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.amount, PercentOfTotal(c.totalMB, c.percent))
            << c.totalMB << " MB at " << c.percent << " %";
}

TEST(PercentOfTotal, ProductWrapsAsThirtyTwoBitSigned)
{
    // 2^30 * 3 = 0xC0000000 reads as -1073741824 before the division.
    EXPECT_EQ(-10737418, PercentOfTotal(1 << 30, 3));
    // 2^30 * 4 wraps to 0.
    EXPECT_EQ(0, PercentOfTotal(1 << 30, 4));
}

} // namespace
