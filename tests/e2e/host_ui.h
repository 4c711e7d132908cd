// Driving the host's window and dialogs from outside, as the shell and the
// user do, for the cases of the tray, the hot keys and the dialogs.
#pragma once
#include <windows.h>

#include "../../host/resources/resource.h"
#include "sandbox.h"

// Control ids the cases look for: each names one dialog.
enum {
    kMainDialogItem = IDC_EXIT,       // "Выход"
    kInfoDialogItem = IDC_MONITORING, // "Мониторинг"
    kAboutDialogItem = IDC_WEB,       // "Web"
    kMemoryDialogItem = IDC_STATUS    // the status text (only MEMORY_DIALOG in its mode)
};

// Byte offsets of the settings file's fields.
enum {
    kIniManualAmount = 2,
    kIniLogEnabled = 8,
    kIniMainLeft = 11,
    kIniMainTop = 13,
    kIniInfoMonitoring = 17,
    kIniInfoOnTop = 18,
    kIniInfoLeft = 19,
    kIniInfoTop = 21,
};

// Sends and waits for the answer; false when the copy did not answer.
bool Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Polls until `condition()` holds.
template <class TCondition> bool WaitUntil(TCondition condition, DWORD timeout = kStartTimeout)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeout; Sleep(10))
        if (condition())
            return true;
    return condition();
}
// Polls until `window` is gone.
bool WaitGone(HWND window, DWORD timeout = kExitTimeout);
// Polls until control `id` of `dialog` reads `expected` (begins with it, when
// it ends with "*").
bool WaitForItemText(HWND dialog, int id, const char* expected, DWORD timeout = kStartTimeout);
// Polls until control `id` of `dialog` holds any text.
bool WaitForAnyItemText(HWND dialog, int id, DWORD timeout = kStartTimeout);
// Polls until `path` holds at least `lines` lines; its text into `out`.
bool WaitForLogLines(const char* path, int lines, char* out, int size);
// 16-bit little-endian field of the settings file bytes.
int IniWord(const BYTE* bytes, int offset);
// The machine's total physical memory in MB, as the host reads it.
int TotalPhysicalMBHere();
// The machine's free physical memory in MB, read now.
int FreePhysicalMBHere();
// Ends a resident copy through its menu's "Выход" and checks it ends with 0.
void ExitThroughMenu(TSandbox& sandbox, TChild* child, HWND window);
