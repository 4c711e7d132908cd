#include "probe.h"

#include <tlhelp32.h>
#include <stdio.h>
#include <string.h>

#include "../win32/check.h"

const BYTE kDefaultSettingsFile[23] = {0x1E, 0x00, 0x30, 0x00, 0x2D, 0x5F, 0x19, 0x50,
                                       0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0xF4,
                                       0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

namespace {

struct TWindowQuery {
    DWORD process; // 0: any
    const char* className;
    const char* caption;
    int itemId; // >0: the window must have this control; <0: must not have -itemId
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context)
{
    TWindowQuery& query = *reinterpret_cast<TWindowQuery*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (query.process && owner != query.process)
        return TRUE;
    char text[256];
    if (!GetClassNameA(window, text, sizeof text) || strcmp(text, query.className))
        return TRUE;
    if (query.caption) {
        GetWindowTextA(window, text, sizeof text);
        if (strcmp(text, query.caption))
            return TRUE;
    }
    if (query.itemId > 0 && !GetDlgItem(window, query.itemId))
        return TRUE;
    if (query.itemId < 0 && GetDlgItem(window, -query.itemId))
        return TRUE;
    query.found = window;
    return FALSE;
}

HWND FindTopLevel(DWORD process, const char* className, const char* caption, int itemId = 0)
{
    TWindowQuery query = {process, className, caption, itemId, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

struct TTextQuery {
    wchar_t* out;
    int size;
    bool found;
};

BOOL CALLBACK MatchStatic(HWND window, LPARAM context)
{
    TTextQuery& query = *reinterpret_cast<TTextQuery*>(context);
    char className[32];
    if (!GetClassNameA(window, className, sizeof className) || lstrcmpiA(className, "Static"))
        return TRUE;
    if (GetWindowTextW(window, query.out, query.size) <= 0)
        return TRUE;
    query.found = true;
    return FALSE;
}

BOOL CALLBACK MatchIcon(HWND window, LPARAM context)
{
    char className[32];
    if (!GetClassNameA(window, className, sizeof className) || lstrcmpiA(className, "Static"))
        return TRUE;
    if ((GetWindowLongA(window, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
        return TRUE;
    DWORD_PTR icon = 0;
    SendMessageTimeoutA(window, STM_GETICON, 0, 0, SMTO_NORMAL, kStartTimeout, &icon);
    *reinterpret_cast<HICON*>(context) = reinterpret_cast<HICON>(icon);
    return FALSE;
}

struct TButtonQuery {
    int count;
    int lastId;
};

BOOL CALLBACK CountButton(HWND window, LPARAM context)
{
    char className[32];
    if (GetClassNameA(window, className, sizeof className) && !lstrcmpiA(className, "Button") &&
        IsWindowVisible(window)) {
        TButtonQuery& query = *reinterpret_cast<TButtonQuery*>(context);
        ++query.count;
        query.lastId = GetDlgCtrlID(window);
    }
    return TRUE;
}

} // namespace

int OnlyButton(HWND box)
{
    TButtonQuery query = {0, 0};
    EnumChildWindows(box, CountButton, reinterpret_cast<LPARAM>(&query));
    return query.count == 1 ? query.lastId : 0;
}

HICON StaticIcon(HWND box)
{
    HICON icon = nullptr;
    EnumChildWindows(box, MatchIcon, reinterpret_cast<LPARAM>(&icon));
    return icon;
}

static HWND WaitForItemWindow(TChild* child, const char* className, const char* caption, int itemId,
                              DWORD timeout)
{
    if (!child)
        return nullptr;
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND window = FindTopLevel(child->id, className, caption, itemId))
            return window;
        if (GetTickCount() - start > timeout)
            return nullptr;
        // Short steps that also notice a process that ended without a window.
        if (WaitForSingleObject(child->process, 20) == WAIT_OBJECT_0)
            return FindTopLevel(child->id, className, caption, itemId);
    }
}

HWND WaitForWindow(TChild* child, const char* className, const char* caption, DWORD timeout)
{
    return WaitForItemWindow(child, className, caption, 0, timeout);
}

HWND WaitForDialog(TChild* child, int itemId, DWORD timeout)
{
    return WaitForItemWindow(child, "#32770", "Brindlecap", itemId, timeout);
}

HWND FindDialog(TChild* child, int itemId)
{
    return child ? FindTopLevel(child->id, "#32770", "Brindlecap", itemId) : nullptr;
}

HWND WaitForMessageBox(TChild* child)
{
    // Every host dialog has an "Ok" or "Очистить" of id 600; a box has not.
    HWND box = WaitForItemWindow(child, "#32770", "Brindlecap", -600, kStartTimeout);
    if (!box)
        return nullptr;
    // The box exists before its texts are set; it shows once they are.
    DWORD start = GetTickCount();
    while (!IsWindowVisible(box)) {
        if (!IsWindow(box) || GetTickCount() - start > kStartTimeout)
            return nullptr;
        if (WaitForSingleObject(child->process, 20) == WAIT_OBJECT_0)
            return nullptr;
    }
    return box;
}

HWND WaitForMainWindow(TChild* child) { return WaitForWindow(child, "Brindlecap", nullptr); }

bool AnyMainWindow() { return FindWindowA("Brindlecap", nullptr) != nullptr; }

bool LoadsModule(DWORD pid, const char* file)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    MODULEENTRY32 module = {};
    module.dwSize = sizeof module;
    bool found = false;
    for (BOOL ok = Module32First(snapshot, &module); ok && !found;
         ok = Module32Next(snapshot, &module))
        found = lstrcmpiA(module.szModule, file) == 0;
    CloseHandle(snapshot);
    return found;
}

bool StaticText(HWND box, wchar_t* out, int size)
{
    out[0] = 0;
    TTextQuery query = {out, size, false};
    EnumChildWindows(box, MatchStatic, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

int ReadBytes(const char* path, BYTE* out, int size)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    DWORD got = 0;
    BOOL ok = ReadFile(file, out, DWORD(size), &got, nullptr);
    CloseHandle(file);
    return ok ? int(got) : -1;
}

bool WriteBytes(const char* path, const BYTE* bytes, int length)
{
    HANDLE file =
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes, DWORD(length), &written, nullptr);
    CloseHandle(file);
    return ok && written == DWORD(length);
}

bool FileExists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

static void PrintBytes(const char* label, const BYTE* bytes, int length)
{
    printf("  %s (%d):", label, length);
    for (int i = 0; i < length; ++i)
        printf(" %02X", bytes[i]);
    printf("\n");
}

void ExpectFileBytes(const char* path, const BYTE* expected, int length)
{
    BYTE actual[256];
    int got = ReadBytes(path, actual, sizeof actual);
    bool same = got == length && memcmp(actual, expected, size_t(length)) == 0;
    CHECK(same);
    if (!same) {
        printf("  %s\n", path);
        if (got < 0)
            printf("  no such file\n");
        else
            PrintBytes("holds", actual, got);
        PrintBytes("expected", expected, length);
    }
}

static void Note(const TChild* child)
{
    printf("  with Brindlecap.exe %s\n", child ? child->arguments : "(not started)");
}

void ExpectEndsWithZero(TSandbox& sandbox, TChild* child)
{
    bool ended = sandbox.WaitExit(child);
    CHECK(ended);
    if (!ended) {
        Note(child);
        return;
    }
    CHECK_EQ(0, child->exitCode);
    if (child->exitCode != 0)
        Note(child);
}

HWND ExpectResident(TChild* child)
{
    HWND window = WaitForMainWindow(child);
    CHECK(window);
    if (!window) {
        Note(child);
        return nullptr;
    }
    // A one-shot run destroys its window before it ever reads a message, so
    // an answer proves the copy sits in its message loop with the window.
    DWORD_PTR answer = 0;
    bool answers =
        SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kStartTimeout, &answer) != 0;
    CHECK(answers);
    bool stays = WaitForSingleObject(child->process, 300) == WAIT_TIMEOUT;
    CHECK(stays);
    if (!answers || !stays)
        Note(child);
    return window;
}

void ExpectClosesWithZero(TSandbox& sandbox, TChild* child, HWND window, const char* programFolder)
{
    if (!child || !window)
        return;
    CHECK(PostMessageA(window, WM_CLOSE, 0, 0));
    ExpectEndsWithZero(sandbox, child);
    CHECK(!IsWindow(window));
    char ini[MAX_PATH];
    FilePath(programFolder, "Brindlecap.ini", ini);
    ExpectFileBytes(ini, kDefaultSettingsFile, sizeof kDefaultSettingsFile);
}
