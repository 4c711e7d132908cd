// The help files "Справка" tries, in order.
#include <gtest/gtest.h>

#include <string>

#include "../../host/logic/aboutdialog.h"

TEST(HelpFile, TheOldHelpFileOnlyWhereItIsThenThePageOfTheUiLanguageThenTheOther)
{
    struct Row {
        bool hlpPresent, russian;
        const char* expected; // the names tried, in order
    };
    const Row rows[] = {
        {false, true, "brindlecap.htm brindlecap-en.htm"},
        {true, true, "brindlecap.hlp brindlecap.htm brindlecap-en.htm"},
        {false, false, "brindlecap-en.htm brindlecap.htm"},
        {true, false, "brindlecap-en.htm brindlecap.htm brindlecap.hlp"},
    };
    for (const Row& row : rows) {
        const char* names[kMaxHelpFiles] = {};
        int count = HelpFileOrder(row.hlpPresent, row.russian, names);
        ASSERT_LE(count, int(kMaxHelpFiles));
        std::string tried;
        for (int i = 0; i < count; ++i)
            tried += (i ? " " : "") + std::string(names[i]);
        EXPECT_EQ(row.expected, tried) << row.hlpPresent << row.russian;
    }
}
