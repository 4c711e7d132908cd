// The two languages every binary carries, and how a text is found in a
// string table block. Free of Win32, so that the choice is tested natively.
#pragma once
#include <stddef.h>
#include <stdint.h>

// Resource language ids of the two sets of texts.
enum : uint16_t { kLanguageRussian = 0x0419, kLanguageEnglish = 0x0409 };

// Russian where the system converts text through code page 1251, the one the
// Russian texts are written for; English, plain ASCII that every code page
// shows, everywhere else.
uint16_t LanguageForCodePage(unsigned codePage);

// String `index` (0 to 15) of a string table block of `units` 16-bit units:
// its first unit and its length. False when it is empty or the block ends
// before it.
bool FindBlockString(const uint16_t* block, size_t units, unsigned index, const uint16_t** text,
                     unsigned* length);
