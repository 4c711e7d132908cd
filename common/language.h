// The user interface in the user's language: each binary carries one
// layout of every dialog and menu, and one text table per language
// (RCDATA IDR_TEXTS under its LANGUAGE), in that language's code page. A
// text's id is its string's, its menu command's or its control's id (or
// the one its layout names); a control whose id has no text keeps what the
// layout gives it. The language
// is named at each load, since Windows 9x and NT 4 let no program choose the
// one its own loads use. What a language lacks comes in English.
#pragma once
#include <windows.h>

#include "textids.h"

// The id of a control's text: the one its layout text names ("#720",
// common/texts.rh), else its control id.
UINT TextIdOf(HWND control);

// Chosen at the first call (common/logic/language.h), the same ever after.
WORD UiLanguage();

// The modeless dialog of template `name`, owned by `owner`, its texts set
// before `procedure` sees WM_INITDIALOG; 0 on failure.
HWND CreateUiDialog(HMODULE module, const char* name, HWND owner, DLGPROC procedure);
// Menu `name` with its texts, for DestroyMenu; 0 when missing.
HMENU LoadUiMenu(HMODULE module, const char* name);
// Text `id` as ANSI text: at most size - 1 bytes and a zero. Returns its
// length; 0, and an empty text, when the text is missing.
int LoadUiString(HMODULE module, UINT id, char* out, int size);
// The same in `language`.
int LoadLanguageString(HMODULE module, WORD language, UINT id, char* out, int size);
// Each control's text of `dialog` and its caption, in `language`; its
// texts' bytes are that language's code page.
void SetDialogTexts(HMODULE module, HWND dialog, WORD language);
