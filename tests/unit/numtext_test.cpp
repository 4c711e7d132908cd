#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "../../common/logic/numtext.h"
#include "../../common/logic/text.h"

namespace {

struct ParseCase {
    const char* text;
    int32_t value;
};

void ExpectParsed(const ParseCase* cases, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        EXPECT_EQ(cases[i].value, ParseNumber(cases[i].text)) << '"' << cases[i].text << '"';
}

TEST(ParseNumber, DigitsUpToTheFirstNonDigit)
{
    const ParseCase cases[] = {
        {"100", 100}, {"100MB", 100}, {"12 34", 12}, {"5-3", 5},   {"007", 7},
        {"0", 0},     {"-5", -5},     {"-0", 0},     {"1\xB2", 1},
    };
    ExpectParsed(cases, sizeof cases / sizeof cases[0]);
}

TEST(ParseNumber, NoDigitsGiveZero)
{
    // A plus sign, a blank or a code-page letter in front ends the number at once.
    const ParseCase cases[] = {
        {"", 0},   {"-", 0},  {"--5", 0}, {"abc", 0},   {"all", 0},
        {"+5", 0}, {" 5", 0}, {"\t5", 0}, {"\2621", 0}, // 0xB2, then "1"
    };
    ExpectParsed(cases, sizeof cases / sizeof cases[0]);
}

TEST(ParseNumber, WrapsAtThirtyTwoBits)
{
    const ParseCase cases[] = {
        {"2147483647", INT32_MAX},
        {"2147483648", INT32_MIN},
        {"4294967295", -1},
        {"4294967296", 0},
        {"4294967301", 5},
        {"-2147483648", INT32_MIN},
        {"-2147483649", INT32_MAX},
        {"-4294967295", 1},
        {"99999999999999999999", 1661992959}, // 10^20 - 1 modulo 2^32
    };
    ExpectParsed(cases, sizeof cases / sizeof cases[0]);
}

// Exactly the documented room, on the heap, so that a longer write is an
// AddressSanitizer error rather than a silent overrun.
std::string Decimal(int32_t value)
{
    std::unique_ptr<char[]> out(new char[12]);
    int n = FormatDecimal(value, out.get());
    EXPECT_EQ(int(std::strlen(out.get())), n);
    return std::string(out.get());
}

std::string Unsigned(uint64_t value)
{
    std::unique_ptr<char[]> out(new char[21]);
    int n = FormatUnsigned(value, out.get());
    EXPECT_EQ(int(std::strlen(out.get())), n);
    return std::string(out.get());
}

TEST(FormatDecimal, PlainDigitsWithMinusForNegatives)
{
    EXPECT_EQ("0", Decimal(0));
    EXPECT_EQ("7", Decimal(7));
    EXPECT_EQ("48", Decimal(48));
    EXPECT_EQ("100", Decimal(100));
    EXPECT_EQ("-1", Decimal(-1));
    EXPECT_EQ("-5", Decimal(-5));
    EXPECT_EQ("-1000", Decimal(-1000));
    EXPECT_EQ("2147483647", Decimal(INT32_MAX));
    EXPECT_EQ("-2147483648", Decimal(INT32_MIN));
}

TEST(FormatDecimal, ParsesBackToTheSameValue)
{
    const int32_t values[] = {
        0,     1,     -1,     9,          10,          -10,       99,        100,
        65535, 65536, -65536, 1000000000, -1000000000, INT32_MAX, INT32_MIN, INT32_MIN + 1};
    for (int32_t v : values)
        EXPECT_EQ(v, ParseNumber(Decimal(v).c_str())) << v;
    for (int64_t v = INT32_MIN; v <= INT32_MAX; v += 104729 * 37)
        ASSERT_EQ(int32_t(v), ParseNumber(Decimal(int32_t(v)).c_str())) << v;
}

TEST(FormatUnsigned, MemoryFiguresBeyondThirtyTwoBits)
{
    EXPECT_EQ("0", Unsigned(0));
    EXPECT_EQ("2147483648", Unsigned(2147483648u));
    EXPECT_EQ("4294967295", Unsigned(4294967295u));
    EXPECT_EQ("4294967296", Unsigned(4294967296u));
    EXPECT_EQ("25769803776", Unsigned(24ull << 30));
    EXPECT_EQ("18446744073709551615", Unsigned(UINT64_MAX));
}

// The bounded copies behind every line and dialog text: never past `size`,
// always terminated.
TEST(BoundedText, CopyCutsToFitAndTerminates)
{
    char out[8];
    std::memset(out, 'x', sizeof out);
    EXPECT_EQ(0, CopyText(out, 0, "abc"));
    EXPECT_EQ('x', out[0]);

    EXPECT_EQ(0, CopyText(out, 1, "abc"));
    EXPECT_STREQ("", out);

    EXPECT_EQ(3, CopyText(out, 4, "abc"));
    EXPECT_STREQ("abc", out);

    std::memset(out, 'x', sizeof out);
    EXPECT_EQ(3, CopyText(out, 4, "abcdef"));
    EXPECT_STREQ("abc", out);
    EXPECT_EQ('x', out[4]);
}

TEST(BoundedText, AppendCutsToFitAndTerminates)
{
    char out[8] = "ab";
    EXPECT_EQ(4, AppendText(out, 8, "cd"));
    EXPECT_STREQ("abcd", out);
    EXPECT_EQ(7, AppendText(out, 8, "efghij"));
    EXPECT_STREQ("abcdefg", out);
    EXPECT_EQ(7, AppendText(out, 8, "more"));
    EXPECT_STREQ("abcdefg", out);

    EXPECT_EQ(5, TextLength("abcde"));
    EXPECT_TRUE(TextEquals("A", "A"));
    EXPECT_FALSE(TextEquals("A", "a"));
    EXPECT_FALSE(TextEquals("A", "AA"));
    EXPECT_FALSE(TextEquals("AA", "A"));
    EXPECT_TRUE(TextEquals("", ""));
}

} // namespace
