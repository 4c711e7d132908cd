// Which help files "Справка" tries, in order. The old help format has no
// viewer on current Windows, so it is tried only where the file lies beside
// the program, and the page every browser shows comes after it.
#pragma once

enum { kMaxHelpFiles = 2 };

// The names, relative to ProgramDir, into `names`; returns how many.
int HelpFileOrder(bool hlpPresent, const char* names[kMaxHelpFiles]);
