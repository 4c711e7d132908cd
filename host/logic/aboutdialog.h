// Which help files "Справка" tries, in order. The old help format has no
// viewer on current Windows, and it is Russian: it is tried only where the
// file lies beside the program, first on a Russian system and last on any
// other. The page in the UI's language comes before the other one.
#pragma once

enum { kMaxHelpFiles = 3 };

// The names, relative to ProgramDir, into `names`; returns how many.
int HelpFileOrder(bool hlpPresent, bool russian, const char* names[kMaxHelpFiles]);
