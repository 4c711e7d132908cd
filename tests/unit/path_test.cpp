// The one rule for joining a folder and a file name.
#include <gtest/gtest.h>

#include <cstring>
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

TEST(DirectoryOf, UpToTheLastBackslashOrColon)
{
    const struct {
        const char* path;
        const char* directory;
    } cases[] = {
        {"C:\\dir\\Brindlecap.exe", "C:\\dir\\"},
        {"C:\\Program Files\\Brindlecap\\Brindlecap.exe", "C:\\Program Files\\Brindlecap\\"},
        {"C:\\Brindlecap.exe", "C:\\"},
        {"C:x.exe", "C:"},
        {"x.exe", ""},
        {"", ""},
        {"\\\\server\\share\\b.exe", "\\\\server\\share\\"},
        {"C:\\dir\\", "C:\\dir\\"},
        {"C:\\a/b.exe", "C:\\"}, // a slash is not a separator here
    };
    for (const auto& c : cases) {
        char out[260];
        std::memset(out, 'x', sizeof out);
        DirectoryOf(c.path, out, sizeof out);
        EXPECT_STREQ(c.directory, out) << c.path;
    }
}

TEST(DirectoryOf, DirectoryThatDoesNotFitIsEmpty)
{
    char out[8];
    DirectoryOf("C:\\dir\\x.exe", out, 8); // "C:\dir\" is 7 characters: fits
    EXPECT_STREQ("C:\\dir\\", out);
    DirectoryOf("C:\\dirs\\x.exe", out, 8);
    EXPECT_STREQ("", out);
    DirectoryOf("C:\\x.exe", out, 1);
    EXPECT_STREQ("", out);
    std::memset(out, 'x', sizeof out);
    DirectoryOf("C:\\x.exe", out, 0);
    EXPECT_EQ('x', out[0]);
}
