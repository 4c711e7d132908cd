#include <gtest/gtest.h>

#include "../../host/amounts.h"

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
    EXPECT_EQ(1506, ComboAmountCount(24105));
}

TEST(StoredCleanAmount, OnlyThreeCharactersCountAndSixteenBitsAreKept)
{
    const struct {
        const char* text;
        uint16_t amount;
    } cases[] = {
        {"1024", 102}, {"48", 48},     {"999", 999}, {"", 0},    {"abc", 0},  {"12x", 12},
        {"-1", 65535}, {"-99", 65437}, {" 64", 0},   {"+64", 0}, {"0064", 6}, {"7", 7},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.amount, StoredCleanAmount(c.text)) << '"' << c.text << '"';
}

TEST(CleanAllAmount, TheTotalLessFifteen)
{
    EXPECT_EQ(241, CleanAllAmount(256));
    EXPECT_EQ(24090, CleanAllAmount(24105));
    EXPECT_EQ(0, CleanAllAmount(15));
}

} // namespace
