// Taskroll.dll, the shipped process list, loaded in this process as the
// host loads it: how it holds its drawing and how it ends its own host.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "../../modules/taskroll/resource.h"
#include "check.h"
#include "support.h"

namespace {

typedef void(__stdcall* TInit)(HWND, int32_t, const char*);
typedef HWND(__stdcall* TExecute)();

template <typename T> T Export(HMODULE library, const char* name)
{
    return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

std::string TaskrollPath()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.rfind('\\') + 1) + "..\\..\\bin\\Taskroll.dll";
}

struct TProcessList {
    HMODULE library;
    HWND host;
    HWND dialog = nullptr;
    TProcessList()
    {
        // The host loads the common controls before its first dialog.
        LoadLibraryA("comctl32.dll");
        library = LoadLibraryA(TaskrollPath().c_str());
        host = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        if (!library)
            return;
        Export<TInit>(library, "Init")(host, 0, "C:\\");
        dialog = Export<TExecute>(library, "Execute")();
    }
    ~TProcessList()
    {
        if (IsWindow(dialog))
            DestroyWindow(dialog);
        if (library)
            FreeLibrary(library);
        DestroyWindow(host);
    }
    int RowOf(DWORD pid) const
    {
        // The details label shows the ID of the row selected.
        char wanted[16];
        wsprintfA(wanted, "0x%08lX", pid);
        for (int i = 0, n = int(SendDlgItemMessageA(dialog, IDC_PROCESSES, LB_GETCOUNT, 0, 0));
             i < n; ++i) {
            Select(i);
            char shown[16] = "";
            GetDlgItemTextA(dialog, IDC_PROCESS_ID, shown, sizeof shown);
            if (lstrcmpA(shown, wanted) == 0)
                return i;
        }
        return -1;
    }
    void Select(int row) const
    {
        SendDlgItemMessageA(dialog, IDC_PROCESSES, LB_SETCURSEL, WPARAM(row), 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_PROCESSES, LBN_SELCHANGE),
                     LPARAM(GetDlgItem(dialog, IDC_PROCESSES)));
    }
};

// What the hook saw: each WM_SETREDRAW as (control id, 0 for the dialog;
// wParam), and how often a row was added while the dialog was hidden.
HWND WatchedDialog;
std::vector<std::pair<int, int>> Redraws;
int RowsAddedHidden;

LRESULT CALLBACK Watch(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION &&
        (call->hwnd == WatchedDialog || GetParent(call->hwnd) == WatchedDialog)) {
        if (call->message == WM_SETREDRAW)
            Redraws.push_back(
                {call->hwnd == WatchedDialog ? 0 : GetDlgCtrlID(call->hwnd), int(call->wParam)});
        if (call->message == LB_ADDSTRING && !IsWindowVisible(WatchedDialog))
            ++RowsAddedHidden;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

CHECK_CASE(TaskrollHoldsTheDrawingOfItsListsNotOfTheDialog)
{
    TProcessList list;
    CHECK(list.dialog && IsWindowVisible(list.dialog));
    if (!list.dialog)
        return;
    WatchedDialog = list.dialog;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, Watch, nullptr, GetCurrentThreadId());
    CHECK(hook);
    // A refresh holds all three lists; a process's details the two it fills.
    const std::vector<std::pair<int, int>> held = {{IDC_THREADS, 0},   {IDC_MODULES, 0},
                                                   {IDC_PROCESSES, 0}, {IDC_THREADS, 1},
                                                   {IDC_MODULES, 1},   {IDC_PROCESSES, 1}};
    const std::vector<std::pair<int, int>> details = {
        {IDC_THREADS, 0}, {IDC_MODULES, 0}, {IDC_THREADS, 1}, {IDC_MODULES, 1}};
    Redraws.clear();
    RowsAddedHidden = 0;
    SendMessageA(list.dialog, WM_COMMAND, IDC_REFRESH, 0);
    CHECK(Redraws == held);
    Redraws.clear();
    list.Select(0);
    CHECK(Redraws == details);
    CHECK_EQ(0, RowsAddedHidden);
    CHECK(SendDlgItemMessageA(list.dialog, IDC_PROCESSES, LB_GETCOUNT, 0, 0) > 0);
    UnhookWindowsHookEx(hook);
    CHECK(IsWindowVisible(list.dialog));
}

CHECK_CASE(TaskrollRefreshKeepsTheChosenProcess)
{
    TProcessList list;
    CHECK(list.dialog);
    if (!list.dialog)
        return;
    int row = list.RowOf(GetCurrentProcessId());
    CHECK(row >= 0);
    SendMessageA(list.dialog, WM_COMMAND, IDC_REFRESH, 0);
    int kept = int(SendDlgItemMessageA(list.dialog, IDC_PROCESSES, LB_GETCURSEL, 0, 0));
    CHECK(kept >= 0);
    char shown[16] = "", wanted[16];
    wsprintfA(wanted, "0x%08lX", GetCurrentProcessId());
    GetDlgItemTextA(list.dialog, IDC_PROCESS_ID, shown, sizeof shown);
    CHECK_STR(wanted, shown);
}
