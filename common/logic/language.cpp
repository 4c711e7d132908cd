#include "language.h"

// English is the second line: LanguageOf's fallback.
const TLanguage kLanguages[] = {
    {0x0419, 1251, "ru", "brindlecap.htm"}, // Russian
    {0x0409, 0, "en", "brindlecap-en.htm"}, // English
    {0x0407, 1252, "de", nullptr},          // German
    {0x040C, 1252, "fr", nullptr},          // French
    {0x040A, 1252, "es", nullptr},          // Spanish
    {0x0422, 1251, "uk", nullptr},          // Ukrainian
};
const int kLanguageCount = sizeof kLanguages / sizeof kLanguages[0];

// The primary language: German of Austria or Switzerland is German.
static unsigned Primary(uint16_t language) { return language & 0x3FFu; }

uint16_t ChooseLanguage(uint16_t userLanguage, unsigned codePage)
{
    for (const TLanguage& language : kLanguages)
        if (Primary(language.Id) == Primary(userLanguage) &&
            (language.CodePage == 0 || language.CodePage == codePage))
            return language.Id;
    return LogLanguage(codePage);
}

const TLanguage& LanguageOf(uint16_t language)
{
    for (const TLanguage& line : kLanguages)
        if (line.Id == language)
            return line;
    return kLanguages[1];
}

uint16_t LogLanguage(unsigned codePage)
{
    return codePage == 1251 ? kLanguageRussian : kLanguageEnglish;
}

int HelpFileOrder(bool hlpPresent, uint16_t language, const char* names[kMaxHelpFiles])
{
    static const char kHlp[] = "brindlecap.hlp";
    const char* pages[] = {LanguageOf(language).Help, LanguageOf(kLanguageEnglish).Help,
                           LanguageOf(kLanguageRussian).Help};
    bool russian = language == kLanguageRussian;
    int count = 0;
    if (hlpPresent && russian)
        names[count++] = kHlp;
    for (int i = 0; i < 3; ++i) {
        bool seen = !pages[i];
        for (int j = 0; j < count; ++j)
            seen = seen || names[j] == pages[i];
        if (!seen)
            names[count++] = pages[i];
    }
    if (hlpPresent && !russian)
        names[count++] = kHlp;
    return count;
}

bool FindText(const uint8_t* table, size_t size, uint16_t id, const char** text, size_t* length)
{
    size_t at = 0;
    while (size - at >= 3) {
        uint16_t entry = uint16_t(table[at] | table[at + 1] << 8);
        size_t start = at + 2, end = start;
        while (end < size && table[end])
            ++end;
        if (end == size)
            return false;
        if (entry == id && id != 0) {
            *text = reinterpret_cast<const char*>(table + start);
            *length = end - start;
            return true;
        }
        at = end + 1;
    }
    return false;
}
