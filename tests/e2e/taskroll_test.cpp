// The process list opened from the real host's module route, with the
// shipped Taskroll.dll beside it, driven from outside and compared with the
// system's own Tool Help figures.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "../../modules/taskroll/resource.h"
#include "../win32/check.h"
#include "probe.h"
#include "sandbox.h"

namespace {

std::string Hex(DWORD value)
{
    char text[16];
    snprintf(text, sizeof text, "0x%08lX", value);
    return text;
}

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

std::vector<MODULEENTRY32> ModulesOf(DWORD pid)
{
    std::vector<MODULEENTRY32> modules;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    MODULEENTRY32 module = {};
    module.dwSize = sizeof module;
    for (BOOL ok = Module32First(snapshot, &module); ok; ok = Module32Next(snapshot, &module))
        modules.push_back(module);
    CloseHandle(snapshot);
    return modules;
}

bool LoadsTaskroll(DWORD pid) { return LoadsModule(pid, "Taskroll.dll"); }

bool DebugPrivilegeOf(HANDLE process)
{
    HANDLE token;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token))
        return false;
    LUID debug = {};
    LookupPrivilegeValueA(nullptr, "SeDebugPrivilege", &debug);
    std::vector<BYTE> buffer(4096);
    DWORD size = 0;
    bool enabled = false;
    if (GetTokenInformation(token, TokenPrivileges, buffer.data(), DWORD(buffer.size()), &size)) {
        const TOKEN_PRIVILEGES* set = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
        for (DWORD i = 0; i < set->PrivilegeCount; ++i)
            if (set->Privileges[i].Luid.LowPart == debug.LowPart &&
                set->Privileges[i].Luid.HighPart == debug.HighPart)
                enabled = set->Privileges[i].Attributes & SE_PRIVILEGE_ENABLED;
    }
    CloseHandle(token);
    return enabled;
}

// The host with Taskroll.dll beside it, its process list dialog, and what
// the driver reads from that.
struct TProcessList {
    const char* folder = nullptr;
    TChild* host = nullptr;
    HWND main = nullptr;
    HWND dialog = nullptr;

    // To control `id` of the dialog, or to the dialog itself with id 0.
    LRESULT Send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(id ? GetDlgItem(dialog, id) : dialog, message, wParam, lParam,
                            SMTO_NORMAL, kStartTimeout, &result);
        return LRESULT(result);
    }
    std::string Text(int id) const
    {
        char text[256] = "";
        GetDlgItemTextA(dialog, id, text, sizeof text);
        return text;
    }
    // Across processes Wine hands list box texts over in Unicode only.
    std::string Row(int row) const
    {
        wchar_t wide[MAX_PATH] = L"";
        char text[MAX_PATH] = "";
        SendDlgItemMessageW(dialog, IDC_PROCESSES, LB_GETTEXT, row, LPARAM(wide));
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        return text;
    }
    // Selects row `row` as a click does; the process ID it shows.
    DWORD Select(int row) const
    {
        Send(IDC_PROCESSES, LB_SETCURSEL, row);
        Send(0, WM_COMMAND, MAKEWPARAM(IDC_PROCESSES, LBN_SELCHANGE),
             LPARAM(GetDlgItem(dialog, IDC_PROCESSES)));
        return strtoul(Text(IDC_PROCESS_ID).c_str(), nullptr, 16);
    }
    // Every row is selected on the way: none shows process ID 0, and each
    // shows the file name of the process whose ID it shows.
    int RowOf(DWORD pid) const
    {
        int found = -1;
        for (int i = 0, n = int(Send(IDC_PROCESSES, LB_GETCOUNT)); i < n; ++i) {
            DWORD shown = Select(i);
            CHECK(shown != 0);
            PROCESSENTRY32 entry = SystemEntry(shown);
            const char* name = strrchr(entry.szExeFile, '\\');
            if (entry.th32ProcessID) // still running
                CHECK_STR(name ? name + 1 : entry.szExeFile, Row(i).c_str());
            if (shown == pid && found < 0)
                found = i;
        }
        if (found >= 0)
            Select(found);
        return found;
    }
    // A list view text lives in the host's memory: the request and the
    // answer travel through a block allocated there.
    std::string Cell(int row, int column) const
    {
        struct TRequest {
            LVITEMA item;
            char text[MAX_PATH];
        };
        BYTE* remote = static_cast<BYTE*>(
            VirtualAllocEx(host->process, nullptr, sizeof(TRequest), MEM_COMMIT, PAGE_READWRITE));
        TRequest request = {};
        request.item.iSubItem = column;
        request.item.pszText = reinterpret_cast<char*>(remote + offsetof(TRequest, text));
        request.item.cchTextMax = MAX_PATH;
        bool ok = remote &&
                  WriteProcessMemory(host->process, remote, &request, sizeof request, nullptr) &&
                  Send(IDC_MODULES, LVM_GETITEMTEXTA, row, LPARAM(remote)) >= 0 &&
                  ReadProcessMemory(host->process, remote, &request, sizeof request, nullptr);
        if (remote)
            VirtualFreeEx(host->process, remote, 0, MEM_RELEASE);
        return ok ? request.text : "";
    }
};

// Presses "Завершить" as a click does (posted: the question it asks is
// modal) and answers the question with `reply`; checks that it names
// `name`, offers Yes and No with No the default. Returns once the box is
// gone and the dialog has finished handling the click.
void AnswerEnd(const TProcessList& list, const char* name, int reply)
{
    CHECK(PostMessageA(list.dialog, WM_COMMAND, IDC_END_PROCESS, 0));
    HWND box = WaitForMessageBox(list.host);
    CHECK(box);
    if (!box)
        return;
    wchar_t text[256];
    CHECK(StaticText(box, text, 256));
    wchar_t expected[256];
    char question[256];
    snprintf(question, sizeof question, "%s ?", name);
    MultiByteToWideChar(CP_ACP, 0, question, -1, expected, 256);
    std::wstring shown = text;
    CHECK(shown.find(L"Вы хотите завершить процесс ") == 0);
    CHECK(shown.size() > wcslen(expected) &&
          shown.compare(shown.size() - wcslen(expected), std::wstring::npos, expected) == 0);
    CHECK(GetDlgItem(box, IDYES) && GetDlgItem(box, IDNO));
    CHECK(GetWindowLongA(GetDlgItem(box, IDNO), GWL_STYLE) & BS_DEFPUSHBUTTON);
    CHECK(PostMessageA(box, WM_COMMAND, WPARAM(reply), 0));
    DWORD start = GetTickCount();
    while (IsWindow(box) && GetTickCount() - start < kExitTimeout)
        WaitForSingleObject(list.host->process, 20);
    CHECK(!IsWindow(box));
    // Answered once the click's handling is over.
    list.Send(IDC_PROCESSES, LB_GETCOUNT);
}

// A copy of this driver that idles until it is ended (or the driver ends).
PROCESS_INFORMATION StartIdleCopy()
{
    char commandLine[MAX_PATH + 32];
    GetModuleFileNameA(nullptr, commandLine, MAX_PATH);
    snprintf(commandLine + lstrlenA(commandLine), 32, " --idle %lu", GetCurrentProcessId());
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child = {};
    CHECK(CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &startup, &child));
    return child;
}

// Started in its tray mode, the module picked from its menu (slot 0, the
// only module); the dialog once its list is filled.
bool OpenFromHost(TSandbox& sandbox, TProcessList* list)
{
    list->folder = sandbox.InstallProgram();
    char shipped[MAX_PATH], copy[MAX_PATH];
    lstrcpynA(shipped, ShippedProgram, MAX_PATH);
    lstrcpyA(strrchr(shipped, '\\') + 1, "Taskroll.dll");
    FilePath(list->folder, "Taskroll.dll", copy);
    CHECK(CopyFileA(shipped, copy, TRUE));
    list->host = sandbox.Start(list->folder, list->folder, "");
    list->main = ExpectResident(list->host);
    if (!list->main)
        return false;
    CHECK(!DebugPrivilegeOf(list->host->process));
    CHECK(PostMessageA(list->main, WM_COMMAND, 0, 0));
    char caption[64];
    WideCharToMultiByte(CP_ACP, 0, L"Brindlecap - Список процессов в системе", -1, caption,
                        sizeof caption, nullptr, nullptr);
    list->dialog = WaitForWindow(list->host, "#32770", caption);
    DWORD start = GetTickCount();
    while (list->dialog && list->Send(IDC_PROCESSES, LB_GETCOUNT) <= 0 &&
           GetTickCount() - start < kStartTimeout)
        WaitForSingleObject(list->host->process, 20);
    CHECK(list->dialog && list->Send(IDC_PROCESSES, LB_GETCOUNT) > 0);
    return list->dialog != nullptr;
}

} // namespace

CHECK_CASE(TaskrollShowsTheHostItsThreadsAndModules)
{
    CHECK(!AnyMainWindow());
    TSandbox sandbox;
    TProcessList list;
    if (OpenFromHost(sandbox, &list)) {
        CHECK(DebugPrivilegeOf(list.host->process));
        // Unsorted, so that row i stays entry i of the process table.
        CHECK(!(GetWindowLongA(GetDlgItem(list.dialog, IDC_PROCESSES), GWL_STYLE) & LBS_SORT));
        CHECK(!(GetWindowLongA(GetDlgItem(list.dialog, IDC_THREADS), GWL_STYLE) & LBS_SORT));

        DWORD pid = list.host->id;
        int row = list.RowOf(pid);
        CHECK(row >= 0);
        CHECK_STR("Brindlecap.exe", list.Row(row).c_str());
        PROCESSENTRY32 entry = SystemEntry(pid);
        CHECK_STR(Hex(pid).c_str(), list.Text(IDC_PROCESS_ID).c_str());
        CHECK_STR(Hex(entry.th32ParentProcessID).c_str(), list.Text(IDC_PARENT_ID).c_str());
        CHECK_EQ(entry.cntThreads, atoi(list.Text(IDC_THREAD_COUNT).c_str()));
        CHECK_EQ(entry.pcPriClassBase, atoi(list.Text(IDC_PRIORITY).c_str()));
        CHECK(list.Send(IDC_THREADS, LB_GETCOUNT) >= 1);
        // The walk's last module on top, the program itself (first) at the
        // bottom. The system may load a library into the host after the list
        // was filled (64-bit Wine does): such a one comes last in this walk.
        std::vector<MODULEENTRY32> modules = ModulesOf(pid);
        int rows = int(list.Send(IDC_MODULES, LVM_GETITEMCOUNT));
        CHECK(rows > 0 && size_t(rows) <= modules.size() && modules.size() - rows <= 2);
        if (rows > 0 && size_t(rows) <= modules.size()) {
            CharLowerA(modules[rows - 1].szExePath);
            CHECK_STR(modules[rows - 1].szExePath, list.Cell(0, 0).c_str());
            char program[MAX_PATH];
            FilePath(list.folder, "Brindlecap.exe", program);
            CharLowerA(program);
            CHECK_STR(program, list.Cell(rows - 1, 0).c_str());
            CHECK_EQ(modules.front().modBaseSize, atoi(list.Cell(rows - 1, 2).c_str()));
        }

        // The close box: the host hears of it and unloads the library.
        CHECK(LoadsTaskroll(pid));
        CHECK(PostMessageA(list.dialog, WM_SYSCOMMAND, SC_CLOSE, 0));
        DWORD start = GetTickCount();
        while ((IsWindow(list.dialog) || LoadsTaskroll(pid)) &&
               GetTickCount() - start < kExitTimeout)
            WaitForSingleObject(list.host->process, 20);
        CHECK(!IsWindow(list.dialog));
        CHECK(!LoadsTaskroll(pid));
        CHECK(!DebugPrivilegeOf(list.host->process));
    }
    ExpectClosesWithZero(sandbox, list.host, list.main, list.folder);
}

CHECK_CASE(TaskrollEndsAProcessStartedAfterItsListWasRead)
{
    CHECK(!AnyMainWindow());
    TSandbox sandbox;
    TProcessList list;
    if (!OpenFromHost(sandbox, &list)) {
        ExpectClosesWithZero(sandbox, list.host, list.main, list.folder);
        return;
    }
    PROCESS_INFORMATION child = StartIdleCopy(), gone = StartIdleCopy();
    // Nothing selected: "Завершить" ends nothing and does not refresh.
    list.Send(IDC_PROCESSES, LB_SETCURSEL, WPARAM(-1));
    list.Send(0, WM_COMMAND, IDC_END_PROCESS);
    CHECK_EQ(-1, list.RowOf(child.dwProcessId));
    CHECK_EQ(WAIT_TIMEOUT, WaitForSingleObject(child.hProcess, 0));

    list.Send(0, WM_COMMAND, IDC_REFRESH);
    // A process gone since the list was read: the table's figures, nothing else.
    TerminateProcess(gone.hProcess, 1);
    CHECK_EQ(WAIT_OBJECT_0, WaitForSingleObject(gone.hProcess, kExitTimeout));
    CHECK(list.RowOf(gone.dwProcessId) >= 0);
    CHECK_STR(Hex(gone.dwProcessId).c_str(), list.Text(IDC_PROCESS_ID).c_str());
    CHECK_STR("0", list.Text(IDC_HEAP_COUNT).c_str());
    CHECK_EQ(0, list.Send(IDC_THREADS, LB_GETCOUNT));
    CHECK_EQ(0, list.Send(IDC_MODULES, LVM_GETITEMCOUNT));

    // No ends nothing and keeps the choice (a refresh keeping it is the
    // Win32 tier's case).
    int row = list.RowOf(child.dwProcessId);
    CHECK(row >= 0);
    char driver[MAX_PATH];
    GetModuleFileNameA(nullptr, driver, MAX_PATH);
    const char* driverName = strrchr(driver, '\\') + 1;
    AnswerEnd(list, driverName, IDNO);
    CHECK_EQ(WAIT_TIMEOUT, WaitForSingleObject(child.hProcess, 0));
    CHECK_EQ(row, list.Send(IDC_PROCESSES, LB_GETCURSEL));

    AnswerEnd(list, driverName, IDYES);
    CHECK_EQ(WAIT_OBJECT_0, WaitForSingleObject(child.hProcess, 0));
    DWORD exitCode = 1;
    GetExitCodeProcess(child.hProcess, &exitCode);
    CHECK_EQ(0, exitCode);
    // The list was read afresh: nothing selected, no details.
    CHECK_EQ(-1, list.Send(IDC_PROCESSES, LB_GETCURSEL));
    CHECK_STR("", list.Text(IDC_PROCESS_ID).c_str());
    CHECK_EQ(0, list.Send(IDC_THREADS, LB_GETCOUNT));
    CHECK_EQ(0, list.Send(IDC_MODULES, LVM_GETITEMCOUNT));
    CHECK_EQ(-1, list.RowOf(child.dwProcessId));

    for (PROCESS_INFORMATION* p : {&child, &gone}) {
        TerminateProcess(p->hProcess, 1);
        CloseHandle(p->hProcess);
        CloseHandle(p->hThread);
    }
    CHECK(PostMessageA(list.dialog, WM_COMMAND, IDC_EXIT, 0));
    ExpectClosesWithZero(sandbox, list.host, list.main, list.folder);
}

// A process that ended while the question was open is not looked for by
// its old ID: nothing is ended, and the list is read afresh.
CHECK_CASE(TaskrollEndsNothingWhenTheChosenProcessIsGone)
{
    CHECK(!AnyMainWindow());
    TSandbox sandbox;
    TProcessList list;
    if (!OpenFromHost(sandbox, &list)) {
        ExpectClosesWithZero(sandbox, list.host, list.main, list.folder);
        return;
    }
    PROCESS_INFORMATION child = StartIdleCopy();
    list.Send(0, WM_COMMAND, IDC_REFRESH);
    CHECK(list.RowOf(child.dwProcessId) >= 0);
    CHECK(PostMessageA(list.dialog, WM_COMMAND, IDC_END_PROCESS, 0));
    HWND box = WaitForMessageBox(list.host);
    CHECK(box);
    TerminateProcess(child.hProcess, 7);
    CHECK_EQ(WAIT_OBJECT_0, WaitForSingleObject(child.hProcess, kExitTimeout));
    if (box)
        PostMessageA(box, WM_COMMAND, IDYES, 0);
    DWORD start = GetTickCount();
    while (box && IsWindow(box) && GetTickCount() - start < kExitTimeout)
        WaitForSingleObject(list.host->process, 20);
    CHECK_EQ(-1, list.Send(IDC_PROCESSES, LB_GETCURSEL));
    CHECK_EQ(-1, list.RowOf(child.dwProcessId));
    DWORD exitCode = 0;
    GetExitCodeProcess(child.hProcess, &exitCode);
    CHECK_EQ(7, exitCode);
    CloseHandle(child.hProcess);
    CloseHandle(child.hThread);
    CHECK(PostMessageA(list.dialog, WM_COMMAND, IDC_EXIT, 0));
    ExpectClosesWithZero(sandbox, list.host, list.main, list.folder);
}

// The host's own row ends the host through its own exit: the settings file
// is written and the program ends with 0, as on "Выход".
CHECK_CASE(TaskrollEndsItsHostThroughTheHostsExit)
{
    CHECK(!AnyMainWindow());
    TSandbox sandbox;
    TProcessList list;
    if (!OpenFromHost(sandbox, &list)) {
        ExpectClosesWithZero(sandbox, list.host, list.main, list.folder);
        return;
    }
    CHECK(list.RowOf(list.host->id) >= 0);
    AnswerEnd(list, "Brindlecap.exe", IDYES);
    ExpectEndsWithZero(sandbox, list.host);
    CHECK(!IsWindow(list.main));
    char ini[MAX_PATH];
    FilePath(list.folder, "Brindlecap.ini", ini);
    ExpectFileBytes(ini, kDefaultSettingsFile, sizeof kDefaultSettingsFile);
}

// The scan beside the real host: a library without the contract is never
// loaded, a cut copy of a module is not listed, a whole module still opens.
CHECK_CASE(TaskrollScanLoadsOnlyWholeModules)
{
    CHECK(!AnyMainWindow());
    TSandbox sandbox;
    const char* folder = sandbox.InstallProgram();
    char fixtures[MAX_PATH], from[MAX_PATH], to[MAX_PATH];
    lstrcpynA(fixtures, ShippedProgram, MAX_PATH);
    lstrcpyA(strrchr(fixtures, '\\') + 1, "..\\tests\\win32\\fixtures\\");
    FilePath(fixtures, "FixtureMarkerRuntime.dll", from);
    FilePath(folder, "runtime.dll", to);
    CHECK(CopyFileA(from, to, FALSE));
    FilePath(fixtures, "FixtureGood.dll", from);
    FilePath(folder, "good.dll", to);
    CHECK(CopyFileA(from, to, FALSE));
    CHECK(sandbox.InstallModule(folder, "Taskroll.dll"));
    char taskroll[MAX_PATH], cut[MAX_PATH];
    FilePath(folder, "Taskroll.dll", taskroll);
    FilePath(folder, "cut.dll", cut);
    static BYTE bytes[1 << 20];
    int size = ReadBytes(taskroll, bytes, sizeof bytes);
    CHECK(size > 1024 && WriteBytes(cut, bytes, size / 2));

    TChild* host = sandbox.Start(folder, folder, "");
    HWND main = ExpectResident(host);
    char mark[MAX_PATH];
    FilePath(folder, "runtime.dll.loaded", mark);
    CHECK(!FileExists(mark));
    // Each listed module opens its dialog; a listed cut copy would stop the
    // host at its error box and leave this send unanswered.
    for (int slot = 0; main && slot < 3; ++slot) {
        DWORD_PTR result = 0;
        CHECK(SendMessageTimeoutA(main, WM_COMMAND, WPARAM(slot), 0, SMTO_NORMAL, 5000, &result));
    }
    char caption[64];
    WideCharToMultiByte(CP_ACP, 0, L"Brindlecap - Список процессов в системе", -1, caption,
                        sizeof caption, nullptr, nullptr);
    CHECK(WaitForWindow(host, "#32770", caption));
    CHECK(WaitForWindow(host, "#32770", "Fixture module"));
    CHECK(!FileExists(mark));
    ExpectClosesWithZero(sandbox, host, main, folder);
}
