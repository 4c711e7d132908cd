#include "host_ui.h"

#include <stdio.h>
#include <string.h>

#include "../win32/check.h"
#include "probe.h"

bool Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR answer = 0;
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kStartTimeout,
                               &answer) != 0;
}

bool WaitGone(HWND window, DWORD timeout)
{
    DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start > timeout)
            return false;
        Sleep(10);
    }
    return true;
}

bool WaitForItemText(HWND dialog, int id, const char* expected, DWORD timeout)
{
    DWORD start = GetTickCount();
    char text[256];
    size_t length = strlen(expected);
    bool prefix = length && expected[length - 1] == '*';
    for (;;) {
        GetDlgItemTextA(dialog, id, text, sizeof text);
        if (prefix ? !strncmp(text, expected, length - 1) : !strcmp(text, expected))
            return true;
        if (GetTickCount() - start > timeout || !IsWindow(dialog)) {
            printf("  control %d reads \"%s\", not \"%s\"\n", id, text, expected);
            return false;
        }
        Sleep(10);
    }
}

bool WaitForAnyItemText(HWND dialog, int id, DWORD timeout)
{
    DWORD start = GetTickCount();
    char text[256];
    while (GetDlgItemTextA(dialog, id, text, sizeof text) <= 0) {
        if (GetTickCount() - start > timeout || !IsWindow(dialog))
            return false;
        Sleep(10);
    }
    return true;
}

bool WaitForLogLines(const char* path, int lines, char* out, int size)
{
    DWORD start = GetTickCount();
    for (;;) {
        int n = ReadBytes(path, reinterpret_cast<BYTE*>(out), size - 1);
        out[n > 0 ? n : 0] = 0;
        int count = 0;
        for (const char* p = out; *p; ++p)
            count += *p == '\n';
        if (count >= lines)
            return true;
        if (GetTickCount() - start > kStartTimeout)
            return false;
        Sleep(20);
    }
}

int IniWord(const BYTE* bytes, int offset) { return bytes[offset] | bytes[offset + 1] << 8; }

int TotalPhysicalMBHere()
{
    MEMORYSTATUSEX status;
    status.dwLength = sizeof status;
    GlobalMemoryStatusEx(&status);
    return int(status.ullTotalPhys >> 20);
}

int FreePhysicalMBHere()
{
    MEMORYSTATUSEX status;
    status.dwLength = sizeof status;
    GlobalMemoryStatusEx(&status);
    return int(status.ullAvailPhys >> 20);
}

void ExitThroughMenu(TSandbox& sandbox, TChild* child, HWND window)
{
    if (!child || !window)
        return;
    CHECK(PostMessageA(window, WM_COMMAND, IDM_EXIT, 0));
    ExpectEndsWithZero(sandbox, child);
}
