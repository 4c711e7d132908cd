// The language the user interface speaks, and a text found in a string
// table block as the resource holds it.
#include <gtest/gtest.h>

#include "../../common/logic/language.h"

TEST(Language, RussianOnlyWhereTheCodePageIs1251)
{
    EXPECT_EQ(kLanguageRussian, LanguageForCodePage(1251));
    for (unsigned other : {1252u, 866u, 1250u, 932u, 0u})
        EXPECT_EQ(kLanguageEnglish, LanguageForCodePage(other)) << other;
}

TEST(Language, BlockStringsAreCountedAndNeverReadPastTheBlock)
{
    // Entries 0 "ab", 1 empty, 2 "c"; entry 3 claims more units than remain.
    const uint16_t block[] = {2, 'a', 'b', 0, 1, 'c', 5, 'd'};
    // {index, units of the block, first unit found or -1}
    const int rows[][3] = {{0, 8, 1},   {1, 8, -1}, {2, 8, 5},  {3, 8, -1}, {4, 8, -1},
                           {16, 8, -1}, {0, 2, -1}, {2, 5, -1}, {0, 0, -1}};
    for (const auto& row : rows) {
        const uint16_t* text = block;
        unsigned length = 0;
        bool found = FindBlockString(block, size_t(row[1]), unsigned(row[0]), &text, &length);
        EXPECT_EQ(row[2], found ? int(text - block) : -1) << row[0] << " " << row[1];
        EXPECT_EQ(found ? block[row[2] - 1] : 0u, length) << row[0];
    }
}
