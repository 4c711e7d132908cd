#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "../../common/logic/path.h"
#include "../../host/logic/startup.h"

namespace {

// Every parameter present in `commandLine`, in order.
std::vector<std::string> Split(const char* commandLine)
{
    std::vector<std::string> parameters;
    char out[kMaxParameter];
    for (int i = 0; GetParameter(commandLine, i, out, kMaxParameter); ++i)
        parameters.push_back(out);
    return parameters;
}

using Parameters = std::vector<std::string>;

TEST(GetParameter, SplitsAtCharactersBelowExclamationMark)
{
    const struct {
        const char* commandLine;
        Parameters parameters;
    } cases[] = {
        {"Brindlecap.exe", {"Brindlecap.exe"}},
        {"Brindlecap.exe C 100 D", {"Brindlecap.exe", "C", "100", "D"}},
        {"  Brindlecap.exe   C  ", {"Brindlecap.exe", "C"}},
        {"prog\tC\t\t100", {"prog", "C", "100"}},
        {"prog\001C\037100\r\nD", {"prog", "C", "100", "D"}}, // 0x01 and 0x1F
        {"prog !a", {"prog", "!a"}},                          // "!" itself is text
        {"prog \x7F", {"prog", "\x7F"}},
        // Code-page letters above 0x7F are text, not separators.
        {"prog \xC7\xE0\xEF\xF0\xEE\xF1 \xA0x", {"prog", "\xC7\xE0\xEF\xF0\xEE\xF1", "\xA0x"}},
        {"", {}},
        {" \t ", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.parameters, Split(c.commandLine)) << '"' << c.commandLine << '"';
}

TEST(GetParameter, QuotesGroupBlanksAndAreDropped)
{
    const struct {
        const char* commandLine;
        Parameters parameters;
    } cases[] = {
        {"\"C:\\Program Files\\Brindlecap.exe\" C 100",
         {"C:\\Program Files\\Brindlecap.exe", "C", "100"}},
        {"prog \"a b\" c", {"prog", "a b", "c"}},
        {"prog a\"b c\"d e", {"prog", "ab cd", "e"}},
        {"prog \"C\" \"100\" \"D\"", {"prog", "C", "100", "D"}},
        {"prog \"a\"\"b\"", {"prog", "ab"}},
        {"prog \"  \" x", {"prog", "  ", "x"}},
        {"prog \"a b", {"prog", "a b"}}, // an unclosed quote runs to the end
        // An empty pair of quotes between parameters counts as a separator.
        {"prog \"\" C", {"prog", "C"}},
        {"prog \"\"C", {"prog", "C"}},
        {"prog \"\"\"\" C \"\"", {"prog", "C"}},
        {"prog \"\"", {"prog"}},
        {"\"\" prog", {"prog"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.parameters, Split(c.commandLine)) << '"' << c.commandLine << '"';
}

TEST(GetParameter, MissingParameterReadsEmptyAndReportsIt)
{
    char out[16];
    std::strcpy(out, "junk");
    EXPECT_FALSE(GetParameter("prog C", 2, out, sizeof out));
    EXPECT_STREQ("", out);

    std::strcpy(out, "junk");
    EXPECT_FALSE(GetParameter("prog C", 7, out, sizeof out));
    EXPECT_STREQ("", out);

    std::strcpy(out, "junk");
    EXPECT_FALSE(GetParameter("prog C", -1, out, sizeof out));
    EXPECT_STREQ("", out);

    std::strcpy(out, "junk");
    EXPECT_FALSE(GetParameter("", 0, out, sizeof out));
    EXPECT_STREQ("", out);

    std::strcpy(out, "junk");
    EXPECT_FALSE(GetParameter(nullptr, 0, out, sizeof out));
    EXPECT_STREQ("", out);

    EXPECT_TRUE(GetParameter("prog C", 0, out, sizeof out));
    EXPECT_STREQ("prog", out);
}

TEST(GetParameter, LongParameterIsCutToFit)
{
    char out[8];
    std::memset(out, 'x', sizeof out);
    EXPECT_TRUE(GetParameter("prog abcdefghij next", 1, out, 4));
    EXPECT_STREQ("abc", out);
    EXPECT_EQ('x', out[4]);
    // Cutting one parameter does not shift the next.
    EXPECT_TRUE(GetParameter("prog abcdefghij next", 2, out, 4));
    EXPECT_STREQ("nex", out);

    EXPECT_TRUE(GetParameter("prog abc", 1, out, 1));
    EXPECT_EQ(0, out[0]);

    std::memset(out, 'x', sizeof out);
    EXPECT_TRUE(GetParameter("prog abc", 1, out, 0));
    EXPECT_EQ('x', out[0]); // no room, nothing written
}

struct RequestCase {
    const char* commandLine;
    char modeChar;
    TMode mode;
    bool cleanAll;
    int32_t amount;
    bool dialog;
};

template <size_t N> void ExpectRequests(const RequestCase (&cases)[N])
{
    for (const RequestCase& c : cases) {
        TStartRequest r = ReadCommandLine(c.commandLine);
        EXPECT_EQ(c.modeChar, r.ModeChar) << c.commandLine;
        EXPECT_EQ(c.mode, r.Mode) << c.commandLine;
        EXPECT_EQ(c.cleanAll, r.CleanAllMemory) << c.commandLine;
        EXPECT_EQ(c.amount, r.CleanAmount) << c.commandLine;
        EXPECT_EQ(c.dialog, r.CleanDialog) << c.commandLine;
    }
}

TEST(ReadCommandLine, FirstCharacterChoosesTheMode)
{
    const RequestCase cases[] = {
        {"Brindlecap.exe", '!', ModeTray, false, 0, false},
        {"Brindlecap.exe   ", '!', ModeTray, false, 0, false},
        {"Brindlecap.exe x", 'x', ModeTray, false, 0, false},
        {"Brindlecap.exe /S", 'S', ModeHidden, false, 0, false},
        {"Brindlecap.exe -s", 's', ModeHidden, false, 0, false},
        {"Brindlecap.exe -?", '?', ModeAbout, false, 0, false},
        {"Brindlecap.exe /C 100 D", 'C', ModeClean, false, 100, true},
        {"Brindlecap.exe !", '!', ModeTray, false, 0, false},
        {"Brindlecap.exe S", 'S', ModeHidden, false, 0, false},
        {"Brindlecap.exe Silent", 'S', ModeHidden, false, 0, false},
        {"Brindlecap.exe start", 's', ModeHidden, false, 0, false},
        {"Brindlecap.exe info", 'i', ModeInfo, false, 0, false},
        {"Brindlecap.exe I", 'I', ModeInfo, false, 0, false},
        {"Brindlecap.exe ?", '?', ModeAbout, false, 0, false},
        {"Brindlecap.exe \"\" info", 'i', ModeInfo, false, 0, false},
        // Cleaning parameters outside the cleaning mode change nothing.
        {"Brindlecap.exe I 100 D", 'I', ModeInfo, false, 0, false},
        {"Brindlecap.exe S A D", 'S', ModeHidden, false, 0, false},
        // The program name's own letters do not count.
        {"C:\\c\\Brindlecap.exe", '!', ModeTray, false, 0, false},
    };
    ExpectRequests(cases);
}

TEST(ReadCommandLine, CleaningAmountAndDialog)
{
    const RequestCase cases[] = {
        {"Brindlecap.exe clean 100", 'c', ModeClean, false, 100, false},
        {"Brindlecap.exe C 100", 'C', ModeClean, false, 100, false},
        {"Brindlecap.exe C 100 D", 'C', ModeClean, false, 100, true},
        {"Brindlecap.exe c 100 d", 'c', ModeClean, false, 100, true},
        {"Brindlecap.exe C 100 DD", 'C', ModeClean, false, 100, false},
        {"Brindlecap.exe C 100 Dialog", 'C', ModeClean, false, 100, false},
        {"Brindlecap.exe C 100 x D", 'C', ModeClean, false, 100, false},
        {"Brindlecap.exe C A", 'C', ModeClean, true, 0, false},
        {"Brindlecap.exe C a", 'C', ModeClean, true, 0, false},
        {"Brindlecap.exe C A D", 'C', ModeClean, true, 0, true},
        {"Brindlecap.exe C all", 'C', ModeClean, false, 0, false},
        {"Brindlecap.exe C AA", 'C', ModeClean, false, 0, false},
        {"Brindlecap.exe C 100MB", 'C', ModeClean, false, 100, false},
        {"Brindlecap.exe C", 'C', ModeClean, false, 0, false},
        {"Brindlecap.exe C -5", 'C', ModeClean, false, -5, false},
        {"Brindlecap.exe C D", 'C', ModeClean, false, 0, false},
        {"Brindlecap.exe C +5", 'C', ModeClean, false, 0, false},
        {"Brindlecap.exe C 4294967396", 'C', ModeClean, false, 100, false},
        {"\"C:\\Program Files\\Brindlecap.exe\" \"C\" \"100\" \"D\"", 'C', ModeClean, false, 100,
         true},
        {"Brindlecap.exe\tC\t48\td", 'C', ModeClean, false, 48, true},
    };
    ExpectRequests(cases);
}

TEST(ReadCommandLine, OverlongParametersAreHarmless)
{
    std::string line = "Brindlecap.exe C " + std::string(5000, '7') + " D";
    TStartRequest r = ReadCommandLine(line.c_str());
    EXPECT_EQ(ModeClean, r.Mode);
    EXPECT_TRUE(r.CleanDialog);

    line = "Brindlecap.exe C A" + std::string(5000, 'x');
    r = ReadCommandLine(line.c_str());
    EXPECT_FALSE(r.CleanAllMemory);
    EXPECT_EQ(0, r.CleanAmount);
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

} // namespace
