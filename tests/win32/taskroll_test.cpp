// The shipped Taskroll.dll loaded by this program as its host would load it,
// its dialog driven on this thread and compared with the system's own
// Tool Help figures. Refreshing and ending processes are driven end to end.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "../../common/hostnotify.h"
#include "check.h"
#include "support.h"

namespace {

typedef void(__stdcall* TInit)(HWND, int32_t, const char*);
typedef HWND(__stdcall* TExecute)();
typedef const char*(__stdcall* TGetName)();
typedef int32_t(__stdcall* TExecWinVer)();

std::string Lower(std::string text)
{
    CharLowerA(&text[0]);
    return text;
}

std::string OwnPath()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string Hex(DWORD value)
{
    char text[16];
    snprintf(text, sizeof text, "0x%08lX", value);
    return text;
}

// The library beside the product, and a hidden window standing in for the
// host's main window.
struct TLoaded {
    HMODULE library = LoadLibraryA((OwnPath() + "\\..\\..\\..\\bin\\Taskroll.dll").c_str());
    HWND host = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    HWND dialog = nullptr;
    ~TLoaded()
    {
        if (IsWindow(dialog))
            DestroyWindow(dialog);
        DestroyWindow(host);
        if (library)
            FreeLibrary(library);
    }
    template <class T> T Export(const char* name)
    {
        return library ? T(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
    }
    bool Open(int32_t index)
    {
        TInit init = Export<TInit>("Init");
        TExecute execute = Export<TExecute>("Execute");
        if (!init || !execute)
            return false;
        init(host, index, "C:\\host\\");
        dialog = execute();
        return dialog != nullptr;
    }
    HWND Item(int id) { return GetDlgItem(dialog, id); }
    LRESULT Send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return SendDlgItemMessageA(dialog, id, message, wParam, lParam);
    }
    void Command(int id, int code = 0)
    {
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code), 0);
    }
    std::string Text(int id)
    {
        char text[256] = "";
        GetDlgItemTextA(dialog, id, text, sizeof text);
        return text;
    }
    std::vector<std::string> Lines(int id)
    {
        std::vector<std::string> lines;
        char text[MAX_PATH + 64];
        for (int i = 0, n = int(Send(id, LB_GETCOUNT)); i < n; ++i)
            lines.push_back(Send(id, LB_GETTEXT, i, LPARAM(text)) >= 0 ? text : "");
        return lines;
    }
    std::string Cell(int row, int column)
    {
        char text[MAX_PATH] = "";
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        Send(301, LVM_GETITEMTEXTA, row, LPARAM(&item));
        return text;
    }
    // Selects row `row` as a click does; the process ID it shows.
    DWORD Select(int row)
    {
        Send(300, LB_SETCURSEL, row);
        Command(300, LBN_SELCHANGE);
        return strtoul(Text(400).c_str(), nullptr, 16);
    }
    int RowOf(DWORD pid)
    {
        for (int i = 0, n = int(Send(300, LB_GETCOUNT)); i < n; ++i)
            if (Select(i) == pid)
                return i;
        return -1;
    }
};

PROCESSENTRY32 SystemEntry(DWORD pid)
{
    PROCESSENTRY32 entry = {};
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    entry.dwSize = sizeof entry;
    for (BOOL ok = Process32First(snapshot, &entry); ok; ok = Process32Next(snapshot, &entry))
        if (entry.th32ProcessID == pid)
            break;
    CloseHandle(snapshot);
    return entry.th32ProcessID == pid ? entry : PROCESSENTRY32{};
}

// This program's modules as the system walks them.
std::vector<MODULEENTRY32> OwnModules()
{
    std::vector<MODULEENTRY32> modules;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, GetCurrentProcessId());
    MODULEENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL ok = Module32First(snapshot, &entry); ok; ok = Module32Next(snapshot, &entry))
        modules.push_back(entry);
    CloseHandle(snapshot);
    return modules;
}

bool DebugPrivilegeEnabled()
{
    HANDLE token;
    LUID debug;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    LookupPrivilegeValueA(nullptr, "SeDebugPrivilege", &debug);
    char buffer[4096];
    DWORD size = 0;
    bool enabled = false;
    if (GetTokenInformation(token, TokenPrivileges, buffer, sizeof buffer, &size)) {
        TOKEN_PRIVILEGES* set = reinterpret_cast<TOKEN_PRIVILEGES*>(buffer);
        for (DWORD i = 0; i < set->PrivilegeCount; ++i)
            if (set->Privileges[i].Luid.LowPart == debug.LowPart &&
                set->Privileges[i].Luid.HighPart == debug.HighPart)
                enabled = set->Privileges[i].Attributes & SE_PRIVILEGE_ENABLED;
    }
    CloseHandle(token);
    return enabled;
}

} // namespace

CHECK_CASE(TaskrollAnswersTheScanWithoutInit)
{
    TLoaded loaded;
    CHECK(loaded.library);
    TGetName getName = loaded.Export<TGetName>("GetName");
    TExecWinVer execWinVer = loaded.Export<TExecWinVer>("ExecWinVer");
    CHECK(getName && execWinVer);
    if (getName && execWinVer) {
        CHECK_STR(InCodePage(1251, "Список процессов").c_str(), getName());
        CHECK_EQ(1, execWinVer());
    }
}

CHECK_CASE(TaskrollListsProcessesAndShowsTheSelectedOne)
{
    TLoaded loaded;
    CHECK(!DebugPrivilegeEnabled());
    CHECK(loaded.Open(7));
    if (!loaded.dialog)
        return;
    CHECK(DebugPrivilegeEnabled());
    // Unsorted lists, so that row i stays entry i of the table.
    CHECK(!(GetWindowLongA(loaded.Item(300), GWL_STYLE) & LBS_SORT));
    CHECK(!(GetWindowLongA(loaded.Item(204), GWL_STYLE) & LBS_SORT));
    const char* titles[] = {"Название", "Исп-ся сист -й", "Размер"};
    const int widths[] = {250, 85, 90};
    for (int i = 0; i < 3; ++i) {
        char title[64] = "";
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT;
        column.pszText = title;
        column.cchTextMax = sizeof title;
        CHECK(loaded.Send(301, LVM_GETCOLUMNA, i, LPARAM(&column)));
        CHECK_STR(InCodePage(1251, titles[i]).c_str(), title);
        CHECK_EQ(widths[i], loaded.Send(301, LVM_GETCOLUMNWIDTH, i));
    }

    // Every row is the file name of the process whose ID it shows; none is ID 0.
    std::vector<std::string> rows = loaded.Lines(300);
    CHECK(rows.size() >= 2);
    for (size_t i = 0; i < rows.size(); ++i) {
        DWORD pid = loaded.Select(int(i));
        CHECK(pid != 0);
        PROCESSENTRY32 entry = SystemEntry(pid);
        const char* name = strrchr(entry.szExeFile, '\\');
        if (entry.th32ProcessID) // still running
            CHECK_STR(name ? name + 1 : entry.szExeFile, rows[i].c_str());
    }

    CHECK(loaded.RowOf(GetCurrentProcessId()) >= 0);
    PROCESSENTRY32 self = SystemEntry(GetCurrentProcessId());
    CHECK_STR(Hex(self.th32ParentProcessID).c_str(), loaded.Text(403).c_str());
    CHECK_EQ(self.cntThreads, atoi(loaded.Text(402).c_str()));
    CHECK_EQ(self.pcPriClassBase, atoi(loaded.Text(404).c_str()));
    CHECK(!loaded.Text(401).empty());
    std::string heaps = loaded.Text(405);
    CHECK(!heaps.empty() && heaps.find_first_not_of("0123456789") == std::string::npos);

    // This thread's line, and the modules in reverse walk order, in lower case.
    std::string threadStart = Hex(GetCurrentThreadId()) + "  ";
    bool threadShown = false;
    for (const std::string& line : loaded.Lines(204))
        threadShown = threadShown || line.compare(0, threadStart.size(), threadStart) == 0;
    CHECK(threadShown);
    std::vector<MODULEENTRY32> modules = OwnModules();
    int rowCount = int(loaded.Send(301, LVM_GETITEMCOUNT));
    CHECK_EQ(modules.size(), rowCount);
    if (modules.empty() || rowCount < 1)
        return;
    CHECK_STR(Lower(modules.back().szExePath).c_str(), loaded.Cell(0, 0).c_str());
    CHECK_STR(Lower(OwnPath()).c_str(), loaded.Cell(rowCount - 1, 0).c_str());
    CHECK_STR(std::to_string(modules.front().modBaseSize).c_str(),
              loaded.Cell(rowCount - 1, 2).c_str());
    std::string usage = modules.front().ProccntUsage == 0xFFFF
                            ? InCodePage(1251, "Фиксир.")
                            : std::to_string(modules.front().ProccntUsage);
    CHECK_STR(usage.c_str(), loaded.Cell(rowCount - 1, 1).c_str());
}

CHECK_CASE(TaskrollCloseBoxNotifiesTheHostOnce)
{
    TLoaded loaded;
    CHECK(loaded.Open(7));
    SendMessageA(loaded.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    CHECK(!IsWindow(loaded.dialog));
    CHECK(!DebugPrivilegeEnabled());
    MSG message;
    int notifications = 0;
    while (PeekMessageA(&message, loaded.host, WM_HOSTNOTIFY, WM_HOSTNOTIFY, PM_REMOVE)) {
        CHECK_EQ(HOSTNOTIFY_MODULE_CLOSED, message.wParam);
        CHECK_EQ(7, message.lParam);
        ++notifications;
    }
    CHECK_EQ(1, notifications);
}
