// The process list opened from the real host's module route, with the
// shipped Taskroll.dll beside it, driven from outside.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "../win32/check.h"
#include "probe.h"
#include "sandbox.h"

namespace {

// The host's process list dialog and what the driver reads from it.
struct TProcessList {
    TChild* host;
    HWND dialog;

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(dialog, message, wParam, lParam, SMTO_NORMAL, kStartTimeout,
                                 &result))
            return -2;
        return LRESULT(result);
    }
    LRESULT SendItem(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(GetDlgItem(dialog, id), message, wParam, lParam, SMTO_NORMAL,
                            kStartTimeout, &result);
        return LRESULT(result);
    }
    void Text(int id, char* out, int size) const
    {
        out[0] = 0;
        GetDlgItemTextA(dialog, id, out, size);
    }
    int Rows(int id) const { return int(SendItem(id, LB_GETCOUNT)); }
    // Selects row `row` as a click does; the process ID it shows.
    DWORD Select(int row) const
    {
        SendItem(300, LB_SETCURSEL, row);
        Send(WM_COMMAND, MAKEWPARAM(300, LBN_SELCHANGE), LPARAM(GetDlgItem(dialog, 300)));
        char text[16];
        Text(400, text, sizeof text);
        return strtoul(text, nullptr, 16);
    }
    // Every row is selected on the way: none may show process ID 0.
    int RowOf(DWORD pid) const
    {
        int found = -1;
        for (int i = 0, n = Rows(300); i < n; ++i) {
            DWORD shown = Select(i);
            CHECK(shown != 0);
            if (shown == pid && found < 0)
                found = i;
        }
        if (found >= 0)
            Select(found);
        return found;
    }
    // A list view text lives in the host's memory: the request and the
    // answer travel through a block allocated there.
    bool Cell(int row, char* out, int size) const
    {
        struct TRequest {
            LVITEMA item;
            char text[MAX_PATH];
        };
        BYTE* remote = static_cast<BYTE*>(
            VirtualAllocEx(host->process, nullptr, sizeof(TRequest), MEM_COMMIT, PAGE_READWRITE));
        if (!remote)
            return false;
        TRequest request = {};
        request.item.pszText = reinterpret_cast<char*>(remote + offsetof(TRequest, text));
        request.item.cchTextMax = MAX_PATH;
        bool ok = WriteProcessMemory(host->process, remote, &request, sizeof request, nullptr) &&
                  SendItem(301, LVM_GETITEMTEXTA, row, LPARAM(remote)) >= 0 &&
                  ReadProcessMemory(host->process, remote, &request, sizeof request, nullptr);
        VirtualFreeEx(host->process, remote, 0, MEM_RELEASE);
        lstrcpynA(out, ok ? request.text : "", size);
        return ok;
    }
};

// A program of the host's code page: the dialog's caption as FindWindow sees it.
const char* Caption()
{
    static char caption[64];
    WideCharToMultiByte(CP_ACP, 0, L"Brindlecap - Список процессов в системе", -1, caption,
                        sizeof caption, nullptr, nullptr);
    return caption;
}

// The host in its tray mode with Taskroll.dll beside it, the module picked
// from its menu (slot 0, the only module).
TProcessList OpenFromHost(TSandbox& sandbox, HWND* mainWindow, const char** folder)
{
    TProcessList list = {};
    *folder = sandbox.InstallProgram();
    char shipped[MAX_PATH], copy[MAX_PATH];
    lstrcpynA(shipped, ShippedProgram, MAX_PATH);
    *strrchr(shipped, '\\') = 0;
    lstrcatA(shipped, "\\Taskroll.dll");
    FilePath(*folder, "Taskroll.dll", copy);
    CHECK(CopyFileA(shipped, copy, TRUE));
    list.host = sandbox.Start(*folder, *folder, "");
    *mainWindow = ExpectResident(list.host);
    if (*mainWindow) {
        CHECK(PostMessageA(*mainWindow, WM_COMMAND, 0, 0));
        list.dialog = WaitForWindow(list.host, "#32770", Caption());
    }
    CHECK(list.dialog);
    // The window shows before its list is filled: wait for the rows.
    DWORD start = GetTickCount();
    while (list.dialog && list.Rows(300) <= 0 && GetTickCount() - start < kStartTimeout)
        WaitForSingleObject(list.host->process, 20);
    CHECK(list.dialog && list.Rows(300) > 0);
    return list;
}

bool LoadsTaskroll(DWORD pid)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    MODULEENTRY32 module = {};
    module.dwSize = sizeof module;
    bool found = false;
    for (BOOL ok = Module32First(snapshot, &module); ok; ok = Module32Next(snapshot, &module))
        found = found || lstrcmpiA(module.szModule, "Taskroll.dll") == 0;
    CloseHandle(snapshot);
    return found;
}

} // namespace

CHECK_CASE(TaskrollShowsTheHostAndItsThreadsAndModules)
{
    CHECK(!AnyMainWindow());
    TSandbox sandbox;
    HWND mainWindow;
    const char* folder;
    TProcessList list = OpenFromHost(sandbox, &mainWindow, &folder);
    if (!list.dialog) {
        ExpectClosesWithZero(sandbox, list.host, mainWindow, folder);
        return;
    }
    int row = list.RowOf(list.host->id);
    CHECK(row >= 0);
    char text[MAX_PATH + 64], expected[MAX_PATH];
    if (row >= 0) {
        // Across processes Wine hands list box texts over in Unicode only.
        wchar_t name[MAX_PATH] = L"";
        SendDlgItemMessageW(list.dialog, 300, LB_GETTEXT, row, LPARAM(name));
        CHECK_STR(L"Brindlecap.exe", name);
        list.Text(400, text, sizeof text);
        snprintf(expected, sizeof expected, "0x%08lX", list.host->id);
        CHECK_STR(expected, text);
        CHECK(list.Rows(204) >= 1);
        int modules = int(list.SendItem(301, LVM_GETITEMCOUNT));
        CHECK(modules >= 1);
        // The program itself comes first in the walk, so last in the list.
        CHECK(list.Cell(modules - 1, text, sizeof text));
        FilePath(folder, "Brindlecap.exe", expected);
        CharLowerA(expected);
        CHECK_STR(expected, text);
    }

    // The close box: the host hears of it and unloads the library.
    CHECK(LoadsTaskroll(list.host->id));
    CHECK(PostMessageA(list.dialog, WM_SYSCOMMAND, SC_CLOSE, 0));
    DWORD start = GetTickCount();
    while ((IsWindow(list.dialog) || LoadsTaskroll(list.host->id)) &&
           GetTickCount() - start < kExitTimeout)
        WaitForSingleObject(list.host->process, 20);
    CHECK(!IsWindow(list.dialog));
    CHECK(!LoadsTaskroll(list.host->id));
    ExpectClosesWithZero(sandbox, list.host, mainWindow, folder);
}

CHECK_CASE(TaskrollEndsAProcessStartedAfterItsListWasRead)
{
    CHECK(!AnyMainWindow());
    TSandbox sandbox;
    HWND mainWindow;
    const char* folder;
    TProcessList list = OpenFromHost(sandbox, &mainWindow, &folder);
    if (!list.dialog) {
        ExpectClosesWithZero(sandbox, list.host, mainWindow, folder);
        return;
    }
    char commandLine[MAX_PATH + 32];
    GetModuleFileNameA(nullptr, commandLine, MAX_PATH);
    snprintf(commandLine + lstrlenA(commandLine), 32, " --idle %lu", GetCurrentProcessId());
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child = {};
    CHECK(CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &startup, &child));

    // Nothing selected: "Завершить" ends nothing and does not refresh.
    list.SendItem(300, LB_SETCURSEL, WPARAM(-1));
    list.Send(WM_COMMAND, 501);
    CHECK_EQ(-1, list.RowOf(child.dwProcessId));
    CHECK_EQ(WAIT_TIMEOUT, WaitForSingleObject(child.hProcess, 0));

    list.Send(WM_COMMAND, 500);
    CHECK(list.RowOf(child.dwProcessId) >= 0);
    list.Send(WM_COMMAND, 501);
    CHECK_EQ(WAIT_OBJECT_0, WaitForSingleObject(child.hProcess, 0));
    DWORD exitCode = 1;
    GetExitCodeProcess(child.hProcess, &exitCode);
    CHECK_EQ(0, exitCode);
    // The list was read afresh: nothing selected, no details.
    CHECK_EQ(-1, list.SendItem(300, LB_GETCURSEL));
    char text[32];
    list.Text(400, text, sizeof text);
    CHECK_STR("", text);
    CHECK_EQ(0, list.Rows(204));
    CHECK_EQ(0, list.SendItem(301, LVM_GETITEMCOUNT));
    CHECK_EQ(-1, list.RowOf(child.dwProcessId));

    TerminateProcess(child.hProcess, 1);
    CloseHandle(child.hProcess);
    CloseHandle(child.hThread);
    CHECK(PostMessageA(list.dialog, WM_COMMAND, 502, 0));
    ExpectClosesWithZero(sandbox, list.host, mainWindow, folder);
}
