// The language the user interface speaks, the help pages it opens, and the
// text tables its texts are read from.
#include <gtest/gtest.h>

#include <string>

#include "../../common/logic/language.h"

TEST(Language, TheUsersOwnWhereTheCodePageShowsItElseTheCodePagesOwn)
{
    struct Row {
        uint16_t user;
        unsigned codePage;
        uint16_t expected;
    };
    const Row rows[] = {
        {0x0419, 1251, 0x0419}, // Russian on a Russian system
        {0x0422, 1251, 0x0422}, // Ukrainian
        {0x0423, 1251, 0x0419}, // Belarusian: Russian, as every 1251 system had
        {0x0409, 1251, 0x0409}, // English shows on any code page
        {0x0809, 1252, 0x0409}, // British English
        {0x0407, 1252, 0x0407}, // German
        {0x0C07, 1252, 0x0407}, // German of Austria
        {0x0807, 1252, 0x0407}, // and Switzerland
        {0x040C, 1252, 0x040C}, // French
        {0x0C0C, 1252, 0x040C}, // French of Canada
        {0x040A, 1252, 0x040A}, // Spanish, traditional sort
        {0x0C0A, 1252, 0x040A}, // Spanish, modern sort
        {0x080A, 1252, 0x040A}, // Spanish of Mexico
        {0x0410, 1252, 0x0409}, // Italian: no texts
        {0x0407, 1250, 0x0409}, // German letters stored for 1252 only
        {0x0419, 1252, 0x0409}, // Cyrillic that 1252 cannot show
        {0x0422, 1252, 0x0409}, // nor Ukrainian
        {0x0407, 1251, 0x0419}, // German on 1251: the code page's own
        {0x0411, 932, 0x0409},  // Japanese: English
        {0x0000, 0, 0x0409},    // nothing known: English
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.expected, ChooseLanguage(row.user, row.codePage))
            << std::hex << row.user << " " << std::dec << row.codePage;
    EXPECT_EQ(kLanguageRussian, LogLanguage(1251));
    EXPECT_EQ(kLanguageEnglish, LogLanguage(1252));
}

TEST(Language, HelpPageOfTheLanguageThenEnglishThenRussianTheOldFileOnlyWhereItIs)
{
    struct Row {
        bool hlpPresent;
        uint16_t language;
        const char* expected; // the names tried, in order
    };
    const Row rows[] = {
        {false, 0x0419, "brindlecap.htm brindlecap-en.htm"},
        {true, 0x0419, "brindlecap.hlp brindlecap.htm brindlecap-en.htm"},
        {false, 0x0409, "brindlecap-en.htm brindlecap.htm"},
        {true, 0x0409, "brindlecap-en.htm brindlecap.htm brindlecap.hlp"},
        {false, 0x0407, "brindlecap-en.htm brindlecap.htm"},
        {true, 0x0422, "brindlecap-en.htm brindlecap.htm brindlecap.hlp"},
    };
    for (const Row& row : rows) {
        const char* names[kMaxHelpFiles] = {};
        int count = HelpFileOrder(row.hlpPresent, row.language, names);
        ASSERT_LE(count, int(kMaxHelpFiles));
        std::string tried;
        for (int i = 0; i < count; ++i)
            tried += (i ? " " : "") + std::string(names[i]);
        EXPECT_EQ(row.expected, tried) << row.hlpPresent << " " << row.language;
    }
}

TEST(Language, TextTableFindsEachIdAndNothingPastItsEnd)
{
    const uint8_t table[] = {5, 0, 'A', 'b', 0, 0x2C, 1, 0xC0, 0, 7, 0, 0, 9, 0, 'x'};
    struct Row {
        size_t size;
        uint16_t id;
        const char* expected; // 0: not found
    };
    const Row rows[] = {
        {sizeof table, 5, "Ab"},
        {sizeof table, 300, "\xC0"},
        {sizeof table, 7, ""},
        {sizeof table, 9, nullptr}, // cut off
        {sizeof table, 4, nullptr},
        {sizeof table, 0, nullptr},
        {4, 5, nullptr},
        {2, 5, nullptr},
        {0, 5, nullptr},
    };
    for (const Row& row : rows) {
        const char* text = nullptr;
        size_t length = 0;
        bool found = FindText(table, row.size, row.id, &text, &length);
        EXPECT_EQ(row.expected != nullptr, found) << row.size << " " << row.id;
        if (found && row.expected)
            EXPECT_EQ(row.expected, std::string(text, length));
    }
}
