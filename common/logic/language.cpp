#include "language.h"

uint16_t LanguageForCodePage(unsigned codePage)
{
    return codePage == 1251 ? kLanguageRussian : kLanguageEnglish;
}

bool FindBlockString(const uint16_t* block, size_t units, unsigned index, const uint16_t** text,
                     unsigned* length)
{
    // Each entry is its length followed by that many units, no terminator.
    size_t at = 0;
    for (unsigned i = 0; i < index; ++i) {
        if (at >= units)
            return false;
        at += 1 + size_t(block[at]);
    }
    if (index > 15 || at >= units || block[at] == 0 || block[at] > units - at - 1)
        return false;
    *text = block + at + 1;
    *length = block[at];
    return true;
}
