// The languages the binaries speak, the choice among them, and how a text
// is found in a language's text table. Free of Win32, so that both are
// tested natively.
#pragma once
#include <stddef.h>
#include <stdint.h>

// Resource language ids of the two languages with a special part: Russian
// is what every code page 1251 system spoke before, English is the rest's.
enum : uint16_t { kLanguageRussian = 0x0419, kLanguageEnglish = 0x0409 };

struct TLanguage {
    uint16_t Id;       // the resource language of its texts
    uint16_t CodePage; // its texts are stored in it; 0: plain ASCII, any
    const char* File;  // the language files' name: lang/<File>.rc
    const char* Help;  // its help page, 0 when it has none
};

// Every language, one line each. The build reads this table too: each
// language file is stored in the code page its line names.
extern const TLanguage kLanguages[];
extern const int kLanguageCount;

// The user's own language (`userLanguage`, GetUserDefaultLangID) where the
// system's ANSI code page is the one its texts are stored in; otherwise
// the code page's own, Russian on 1251, English elsewhere.
uint16_t ChooseLanguage(uint16_t userLanguage, unsigned codePage);
// The table's line of `language`; English's when it has none.
const TLanguage& LanguageOf(uint16_t language);
// The log line's two words are a stored format: Russian on code page
// 1251, whichever language the user interface speaks, English elsewhere.
uint16_t LogLanguage(unsigned codePage);

// Which help files "Справка" tries, in order: the old Russian help file
// first on a Russian system when it lies beside the program, then the page
// of `language`, the English one, the Russian one, and the old file last
// elsewhere. The old format has no viewer on current Windows.
enum { kMaxHelpFiles = 4 };
int HelpFileOrder(bool hlpPresent, uint16_t language, const char* names[kMaxHelpFiles]);

// A text table is a run of entries, each a 16-bit id (low byte first) and
// its text in the language's code page, ending in a zero byte. Finds `id`
// in a table of `size` bytes; false when absent or cut off.
bool FindText(const uint8_t* table, size_t size, uint16_t id, const char** text, size_t* length);
