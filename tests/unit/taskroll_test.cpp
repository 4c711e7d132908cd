#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "../../modules/taskroll/logic/taskroll.h"

namespace {

TEST(ThreadPriority, StaysWithinTheBandOfItsBase)
{
    EXPECT_EQ(1, ThreadPriority(8, -15));
    EXPECT_EQ(15, ThreadPriority(8, 15));
    EXPECT_EQ(16, ThreadPriority(24, -15));
    EXPECT_EQ(31, ThreadPriority(24, 15));
    EXPECT_EQ(10, ThreadPriority(8, 2));
    EXPECT_EQ(15, ThreadPriority(15, 0));
    EXPECT_EQ(16, ThreadPriority(16, -1));
    // Values far outside any delta the system uses neither wrap nor escape.
    EXPECT_EQ(15, ThreadPriority(8, INT32_MAX));
    EXPECT_EQ(1, ThreadPriority(INT32_MIN, INT32_MIN));
    EXPECT_EQ(31, ThreadPriority(INT32_MAX, INT32_MAX));
}

struct NameCase {
    int32_t priority;
    int id;
    bool between;
};

TEST(PriorityNameId, OwnValuesAreNamedPlainRangesAreMarked)
{
    const NameCase cases[] = {
        {8, 108, false},  {9, 108, true},   {15, 113, true},        {31, 124, true},
        {-1, 124, true},  {4, 104, false},  {23, 124, true},        {0, 104, true},
        {5, 106, true},   {6, 106, false},  {7, 106, true},         {10, 110, false},
        {12, 110, true},  {13, 113, false}, {22, 113, true},        {24, 124, false},
        {-99, 124, true}, {-95, 124, true}, {INT32_MIN, 124, true},
    };
    for (const NameCase& c : cases) {
        bool between = !c.between;
        EXPECT_EQ(c.id, PriorityNameId(c.priority, &between)) << c.priority;
        EXPECT_EQ(c.between, between) << c.priority;
    }
}

TEST(FormatHex, EightUpperCaseDigitsWithLeadingZeros)
{
    char out[11];
    EXPECT_EQ(10, FormatHex(0x1F, out));
    EXPECT_STREQ("0x0000001F", out);
    FormatHex(0, out);
    EXPECT_STREQ("0x00000000", out);
    FormatHex(0xFFFFFFFFu, out);
    EXPECT_STREQ("0xFFFFFFFF", out);
    FormatHex(0xABCDEF12u, out);
    EXPECT_STREQ("0xABCDEF12", out);
}

TEST(FormatThreadLine, IdTwoBlanksPriorityBlankName)
{
    char out[64];
    FormatThreadLine(0x2A, 9, "Name *", out, sizeof out);
    EXPECT_STREQ("0x0000002A  9 Name *", out);
    // A short buffer is cut, never overrun.
    char small[8];
    FormatThreadLine(0x2A, 9, "Name", small, sizeof small);
    EXPECT_STREQ("0x00000", small);
}

TEST(ExeFileName, KeepsWhatFollowsTheLastBackslashOrColon)
{
    const char* cases[][2] = {
        {"C:\\WINDOWS\\SYSTEM\\KERNEL32.DLL", "KERNEL32.DLL"},
        {"explorer.exe", "explorer.exe"},
        {"C:EXPLORER.EXE", "EXPLORER.EXE"},
        {"\\\\server\\share\\tool.exe", "tool.exe"},
        {"C:\\dir\\", ""},
        {"", ""},
    };
    for (auto& c : cases) {
        char out[260];
        ExeFileName(c[0], sizeof out, out);
        EXPECT_STREQ(c[1], out) << c[0];
    }
}

TEST(ExeFileName, ReadsNoFurtherThanTheRecord)
{
    // A record filled to its end without a terminating zero.
    char record[12];
    std::string full = "a\\bcdefghijk";
    full.copy(record, sizeof record);
    char out[12];
    ExeFileName(record, sizeof record, out);
    EXPECT_STREQ("bcdefghij", out);
}

TEST(FormatEndQuestion, NamesTheProcessInThePattern)
{
    const struct {
        const char* pattern;
        const char* name;
        int size;
        const char* expected;
    } cases[] = {
        {"End %s ?", "notepad.exe", 64, "End notepad.exe ?"},
        {"%s", "a.exe", 64, "a.exe"},
        {"End %s and %s", "a.exe", 64, "End a.exe and %s"},
        {"No name", "a.exe", 64, "No name"},
        {"End %s ?", "", 64, "End  ?"},
        {"End %s ?", "notepad.exe", 10, "End notep"},
        {"End %", "a.exe", 64, "End %"},
        {"End %s ?", "a.exe", 1, ""},
    };
    for (const auto& c : cases) {
        char out[64];
        int length = FormatEndQuestion(c.pattern, c.name, out, c.size);
        EXPECT_STREQ(c.expected, out) << c.pattern << " " << c.size;
        EXPECT_EQ(int(std::string(c.expected).size()), length);
    }
}

TEST(ChooseEndAction, EndsOnlyTheChosenProgramAndTheHostThroughItsExit)
{
    const struct {
        uint32_t pid;
        const char* chosen;
        const char* current;
        TEndAction action;
    } cases[] = {
        {100, "notepad.exe", "notepad.exe", EndProcess},
        {100, "C:\\WIN\\NOTEPAD.EXE", "C:\\WIN\\NOTEPAD.EXE", EndProcess},
        // The ID went to another program since the list was read.
        {100, "notepad.exe", "calc.exe", EndNothing},
        {100, "notepad.exe", "notepad.exe2", EndNothing},
        {100, "notepad.exe", nullptr, EndNothing},
        // The host's own row, whatever the snapshot says.
        {7, "Brindlecap.exe", "Brindlecap.exe", EndHost},
        {7, "Brindlecap.exe", nullptr, EndHost},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.action, ChooseEndAction(c.pid, 7, c.chosen, c.current, 260)) << c.chosen;
}

TEST(SameExeFile, ComparesNoFurtherThanTheRecords)
{
    char a[8], b[8];
    std::string("abcdefgh").copy(a, sizeof a);
    std::string("abcdefgX").copy(b, sizeof b);
    EXPECT_TRUE(SameExeFile(a, b, 7));
    EXPECT_FALSE(SameExeFile(a, b, 8));
    EXPECT_TRUE(SameExeFile("x.exe", "x.exe", 260));
    EXPECT_FALSE(SameExeFile("x.exe", "X.exe", 260));
}

} // namespace

TEST(ModuleColumnWidths, CountAndSizeAsTheyNeedTheNameTheRestButNeverLessThanItsNeed)
{
    const int needed[kModuleColumns] = {40, 60, 70};
    int widths[kModuleColumns] = {};
    ModuleColumnWidths(400, needed, widths); // a wide list: the name gets the rest
    EXPECT_EQ(std::vector<int>({270, 60, 70}), std::vector<int>(widths, widths + 3));
    ModuleColumnWidths(150, needed, widths); // too narrow: the list scrolls sideways
    EXPECT_EQ(std::vector<int>({40, 60, 70}), std::vector<int>(widths, widths + 3));
}
