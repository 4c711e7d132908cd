#include <gtest/gtest.h>

#include "../../common/numtext.h"

TEST(ParseNumber, ReadsLeadingDigits)
{
    EXPECT_EQ(100, ParseNumber("100MB"));
}
