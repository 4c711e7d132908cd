// The user interface in the system's language: every dialog, menu and text
// of the host and the modules is loaded here, in Russian on a system whose
// ANSI code page is 1251 and in English elsewhere. The language is named
// explicitly at each load, since Windows 9x and NT 4 let no program choose
// the one its own loads use. What is missing in English comes in Russian.
#pragma once
#include <windows.h>

// Asked anew at each call: cheap, and nothing shared between threads.
WORD UiLanguage();
bool UiIsRussian();

// The modeless dialog of template `name`, owned by `owner`; 0 on failure.
HWND CreateUiDialog(HMODULE module, const char* name, HWND owner, DLGPROC procedure);
// Menu `name`, for DestroyMenu; 0 when missing.
HMENU LoadUiMenu(HMODULE module, const char* name);
// String `id` as ANSI text: at most size - 1 bytes and a zero. Returns its
// length; 0, and an empty text, when the string is missing.
int LoadUiString(HMODULE module, UINT id, char* out, int size);
