// The language the user interface speaks, and finding a text in a string
// table block as the resource holds it.
#include <gtest/gtest.h>

#include "../../common/logic/language.h"

TEST(Language, RussianOnlyWhereTheCodePageIs1251)
{
    const struct {
        unsigned codePage;
        uint16_t language;
    } rows[] = {{1251, kLanguageRussian}, {1252, kLanguageEnglish}, {866, kLanguageEnglish},
                {1250, kLanguageEnglish}, {932, kLanguageEnglish},  {0, kLanguageEnglish}};
    for (const auto& row : rows)
        EXPECT_EQ(row.language, LanguageForCodePage(row.codePage)) << row.codePage;
}

TEST(Language, BlockStringsAreCountedAndNeverReadPastTheBlock)
{
    // Entries 0 "ab", 1 empty, 2 "c"; entry 3 claims more units than remain.
    const uint16_t block[] = {2, 'a', 'b', 0, 1, 'c', 5, 'd'};
    const size_t units = sizeof block / sizeof block[0];
    const struct {
        unsigned index;
        size_t units;
        int length; // -1: not found
    } rows[] = {{0, units, 2}, {1, units, -1}, {2, units, 1}, {3, units, -1},
                {4, units, -1}, {16, units, -1}, {0, 2, -1}, {2, 5, -1}, {0, 0, -1}};
    for (const auto& row : rows) {
        const uint16_t* text = nullptr;
        unsigned length = 0;
        bool found = FindBlockString(block, row.units, row.index, &text, &length);
        EXPECT_EQ(row.length >= 0, found) << row.index << " " << row.units;
        if (found && row.length >= 0)
            EXPECT_EQ(unsigned(row.length), length);
    }
    const uint16_t* text = nullptr;
    unsigned length = 0;
    ASSERT_TRUE(FindBlockString(block, units, 2, &text, &length));
    EXPECT_EQ('c', text[0]);
}
