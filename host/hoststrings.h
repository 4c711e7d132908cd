// Texts of the host's text tables and the one form of error box, in the
// language of the user interface (common/language.h).
#pragma once
#include <windows.h>

#include "../common/language.h"

enum { kStringBuffer = 100 };

// Loads string `id` as ANSI text, at most 99 characters; empty when missing.
void LoadHostString(UINT id, char out[kStringBuffer]);
// Message box with no owner, caption "Brindlecap", the error icon and OK.
void ShowHostError(UINT id);
