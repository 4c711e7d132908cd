// The one rule for joining a folder and a file name.
#include <gtest/gtest.h>

#include <string>

#include "../../common/logic/path.h"

namespace {

std::string Join(const char* dir, const char* name, int size = 260)
{
    std::string out(size_t(size > 0 ? size : 1), '?');
    if (!JoinPath(&out[0], size, dir, name))
        return "<too long>";
    return out.c_str();
}

} // namespace

TEST(JoinPath, InsertsOneSeparatorOnlyWhenNeeded)
{
    EXPECT_EQ("name.dll", Join("", "name.dll"));
    EXPECT_EQ("C:\\prog\\name.dll", Join("C:\\prog\\", "name.dll"));
    EXPECT_EQ("C:\\prog\\name.dll", Join("C:\\prog", "name.dll"));
    EXPECT_EQ("C:\\*.*", Join("C:", "*.*"));
}

TEST(JoinPath, RefusesWhatDoesNotFitInsteadOfCutting)
{
    // "ab\cd" is 5 characters: 6 bytes with the terminator.
    EXPECT_EQ("ab\\cd", Join("ab", "cd", 6));
    EXPECT_EQ("<too long>", Join("ab", "cd", 5));
    EXPECT_EQ("<too long>", Join("ab\\", "cd", 5));
    char out[4] = "xyz";
    EXPECT_FALSE(JoinPath(out, 4, std::string(300, 'd').c_str(), "n"));
    EXPECT_STREQ("", out);
}
