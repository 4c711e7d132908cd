// Looking at a running copy from outside, as the shell and the user see it,
// and the expectations the cases share.
#pragma once
#include <windows.h>

#include "sandbox.h"

// The 23 bytes a run writes when it started without a settings file.
extern const BYTE kDefaultSettingsFile[23];

// The top-level window of class `className` (and caption `caption`, when
// given) that belongs to `child`, polled until it appears; 0 when it did
// not within `timeout` or the process ended first.
HWND WaitForWindow(TChild* child, const char* className, const char* caption,
                   DWORD timeout = kStartTimeout);
// A host dialog of `child` (caption "Brindlecap") that has control `itemId`,
// polled until it appears; 0 when it did not within `timeout`.
HWND WaitForDialog(TChild* child, int itemId, DWORD timeout = kStartTimeout);
// The same, without waiting.
HWND FindDialog(TChild* child, int itemId);
// A message box of `child` with the caption "Brindlecap", once it shows.
HWND WaitForMessageBox(TChild* child);
// The copy's hidden main window.
HWND WaitForMainWindow(TChild* child);
// Some window of class "Brindlecap" on the desktop, whoever owns it.
bool AnyMainWindow();

// True while process `pid` has the library `file` (a file name) loaded.
bool LoadsModule(DWORD pid, const char* file);

// The text of the first "Static" child with a text (a message box's text).
bool StaticText(HWND box, wchar_t* out, int size);
// The icon of the first icon "Static" child (a message box's icon); 0 if none.
HICON StaticIcon(HWND box);
// The id of the one visible button of `box`; 0 when it has none or several.
int OnlyButton(HWND box);

// Bytes of `path`; -1 when the file cannot be read.
int ReadBytes(const char* path, BYTE* out, int size);
bool WriteBytes(const char* path, const BYTE* bytes, int length);
bool FileExists(const char* path);

// Checks that `path` holds exactly `expected`; prints what it holds if not.
void ExpectFileBytes(const char* path, const BYTE* expected, int length);

// Checks that `child` ends by itself with exit code 0.
void ExpectEndsWithZero(TSandbox& sandbox, TChild* child);
// Checks that `child` stays resident: its main window exists, its message
// loop answers, and it does not end on its own. Returns the window.
HWND ExpectResident(TChild* child);
// Closes a resident copy the way the shell does, with WM_CLOSE to its main
// window, and checks that it ends with 0 and writes its settings file.
void ExpectClosesWithZero(TSandbox& sandbox, TChild* child, HWND window, const char* programFolder);
