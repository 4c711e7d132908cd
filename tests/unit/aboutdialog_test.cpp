// The help files "Справка" tries, in order.
#include <gtest/gtest.h>

#include <string>

#include "../../host/logic/aboutdialog.h"

TEST(HelpFile, TheOldHelpFileOnlyWhereItIsThenThePage)
{
    struct Row {
        bool hlpPresent;
        const char* expected; // the names tried, in order
    };
    const Row rows[] = {
        {false, "brindlecap.htm"},
        {true, "brindlecap.hlp brindlecap.htm"},
    };
    for (const Row& row : rows) {
        const char* names[kMaxHelpFiles] = {};
        int count = HelpFileOrder(row.hlpPresent, names);
        ASSERT_LE(count, int(kMaxHelpFiles));
        std::string tried;
        for (int i = 0; i < count; ++i)
            tried += (i ? " " : "") + std::string(names[i]);
        EXPECT_EQ(row.expected, tried) << row.hlpPresent;
    }
}
