// The language the user interface speaks.
#include <gtest/gtest.h>

#include "../../common/logic/language.h"

TEST(Language, RussianOnlyWhereTheCodePageIs1251)
{
    EXPECT_EQ(kLanguageRussian, LanguageForCodePage(1251));
    for (unsigned other : {1252u, 866u, 1250u, 932u, 0u})
        EXPECT_EQ(kLanguageEnglish, LanguageForCodePage(other)) << other;
}
