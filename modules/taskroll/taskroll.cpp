// The process list: the running processes from a Tool Help snapshot, the
// details of the one selected, and ending it.
#include "frame.h"

#include <commctrl.h>

#include "../../common/centerwindow.h"
#include "../../common/language.h"
#include "../../common/logic/numtext.h"
#include "../../common/logic/text.h"
#include "resource.h"
#include "logic/taskroll.h"
#include "toolhelp.h"

const int32_t ModulePlatform = 1;

// Entry i is row i of the process list. It grows by doubling, so a long
// walk does not copy the whole table once per process.
static PROCESSENTRY32* Processes;
static int ProcessCount;
static int ProcessCapacity;

static const DWORD kAllAccess = 0x1F0FFF; // every right a system before Vista knows
static const DWORD kEndWait = 500;        // ms the list waits for an ended process

static void FreeProcesses()
{
    if (Processes)
        HeapFree(GetProcessHeap(), 0, Processes);
    Processes = nullptr;
    ProcessCount = 0;
    ProcessCapacity = 0;
}

static bool GrowProcesses()
{
    int capacity = ProcessCapacity ? ProcessCapacity * 2 : 64;
    DWORD bytes = DWORD(capacity) * sizeof(PROCESSENTRY32);
    HANDLE heap = GetProcessHeap();
    void* table = Processes ? HeapReAlloc(heap, 0, Processes, bytes) : HeapAlloc(heap, 0, bytes);
    if (!table)
        return false;
    Processes = static_cast<PROCESSENTRY32*>(table);
    ProcessCapacity = capacity;
    return true;
}

// Out of memory the table keeps the processes read so far.
static void ReadProcesses()
{
    ProcessCount = 0;
    TToolHelp help(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry;
    for (bool ok = help.ProcessFirst(&entry); ok; ok = help.ProcessNext(&entry)) {
        if (ProcessCount == ProcessCapacity && !GrowProcesses())
            break;
        Processes[ProcessCount++] = entry;
    }
}

// A shown list redraws its scroll bar on every row added or removed. A
// change of many rows holds the drawing of the three lists, each drawn once
// when the change is complete. The dialog's own drawing is never held: that
// would take WS_VISIBLE from it, and clicks would fall through to the
// window behind while a large snapshot is read.
// A process's details leave the process list as it is: `details` holds the
// other two alone, so that the unchanged list is not drawn again.
static void HoldListsDrawing(HWND dialog, bool hold, bool details = false)
{
    static const int kLists[] = {IDC_THREADS, IDC_MODULES, IDC_PROCESSES};
    for (int id : kLists) {
        if (details && id == IDC_PROCESSES)
            continue;
        HWND list = GetDlgItem(dialog, id);
        SendMessageA(list, WM_SETREDRAW, !hold, 0);
        if (!hold)
            RedrawWindow(list, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE);
    }
}

static void FillProcesses(HWND dialog)
{
    // Looked up once: each lookup of a dialog item asks the window manager.
    HWND list = GetDlgItem(dialog, IDC_PROCESSES);
    char name[MAX_PATH];
    for (int i = 0; i < ProcessCount; ++i) {
        ExeFileName(Processes[i].szExeFile, MAX_PATH, name);
        SendMessageA(list, LB_ADDSTRING, 0, LPARAM(name));
    }
}

static void ClearDisplay(HWND dialog)
{
    static const int kLabels[] = {IDC_PROCESS_ID, IDC_PARENT_ID,     IDC_THREAD_COUNT,
                                  IDC_PRIORITY,   IDC_PRIORITY_NAME, IDC_HEAP_COUNT};
    for (int id : kLabels)
        SetDlgItemTextA(dialog, id, "");
    SendDlgItemMessageA(dialog, IDC_PROCESSES, LB_RESETCONTENT, 0, 0);
    SendDlgItemMessageA(dialog, IDC_THREADS, LB_RESETCONTENT, 0, 0);
    SendDlgItemMessageA(dialog, IDC_MODULES, LVM_DELETEALLITEMS, 0, 0);
}

// Widths in the list's own font, so that they follow the system's DPI; the
// cells keep a margin of two digits' width.
static int TextWidth(HWND view, const char* text)
{
    return int(SendMessageA(view, LVM_GETSTRINGWIDTHA, 0, LPARAM(text))) +
           int(SendMessageA(view, LVM_GETSTRINGWIDTHA, 0, LPARAM("00")));
}

static void AddModuleColumns(HWND dialog)
{
    HWND view = GetDlgItem(dialog, IDC_MODULES);
    char fixed[24];
    LoadUiString(ModuleInstance, IDS_FIXED_USAGE, fixed, sizeof fixed);
    // The widest text each column shows besides its title.
    const char* widest[kModuleColumns] = {"", fixed, "4294967295"};
    int needed[kModuleColumns];
    for (int i = 0; i < kModuleColumns; ++i) {
        char title[64];
        LoadUiString(ModuleInstance, UINT(IDS_COLUMN_NAME + i), title, sizeof title);
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT;
        column.pszText = title;
        SendMessageA(view, LVM_INSERTCOLUMNA, WPARAM(i), LPARAM(&column));
        int titleWidth = TextWidth(view, title);
        int textWidth = TextWidth(view, widest[i]);
        needed[i] = titleWidth > textWidth ? titleWidth : textWidth;
    }
    // A long list brings its scroll bar: the columns leave room for it.
    RECT client = {};
    GetClientRect(view, &client);
    int widths[kModuleColumns];
    ModuleColumnWidths(client.right - GetSystemMetrics(SM_CXVSCROLL), needed, widths);
    for (int i = 0; i < kModuleColumns; ++i)
        SendMessageA(view, LVM_SETCOLUMNWIDTH, WPARAM(i), widths[i]);
}

// `out` holds 64 chars.
static void PriorityName(int32_t priority, char* out)
{
    bool between;
    LoadUiString(ModuleInstance, UINT(PriorityNameId(priority, &between)), out, 62);
    if (between)
        AppendText(out, 64, " *");
}

static void SetHexText(HWND dialog, int id, DWORD value)
{
    char text[12];
    FormatHex(value, text);
    SetDlgItemTextA(dialog, id, text);
}

static void SetNumberText(HWND dialog, int id, uint64_t value)
{
    char text[24];
    FormatUnsigned(value, text);
    SetDlgItemTextA(dialog, id, text);
}

static void ShowThreads(HWND dialog, TToolHelp& help, DWORD pid)
{
    HWND list = GetDlgItem(dialog, IDC_THREADS);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    THREADENTRY32 thread;
    for (bool ok = help.ThreadFirst(&thread); ok; ok = help.ThreadNext(&thread)) {
        if (thread.th32OwnerProcessID != pid)
            continue;
        int32_t priority = ThreadPriority(thread.tpBasePri, thread.tpDeltaPri);
        char name[64];
        char line[96];
        PriorityName(priority, name);
        FormatThreadLine(thread.th32ThreadID, priority, name, line, sizeof line);
        SendMessageA(list, LB_ADDSTRING, 0, LPARAM(line));
    }
}

static void SetModuleColumn(HWND view, int row, int column, char* text)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = text;
    SendMessageA(view, LVM_SETITEMA, 0, LPARAM(&item));
}

// Each module goes on top, so the walk's last module ends first.
static void ShowModules(HWND dialog, TToolHelp& help)
{
    HWND view = GetDlgItem(dialog, IDC_MODULES);
    SendMessageA(view, LVM_DELETEALLITEMS, 0, 0);
    MODULEENTRY32 module;
    for (bool ok = help.ModuleFirst(&module); ok; ok = help.ModuleNext(&module)) {
        module.szExePath[MAX_PATH - 1] = 0;
        CharLowerA(module.szExePath);
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.pszText = module.szExePath;
        int row = int(SendMessageA(view, LVM_INSERTITEMA, 0, LPARAM(&item)));
        if (row < 0)
            continue;
        char text[24];
        if (module.ProccntUsage == 0xFFFF)
            LoadUiString(ModuleInstance, IDS_FIXED_USAGE, text, sizeof text);
        else
            FormatUnsigned(module.ProccntUsage, text);
        SetModuleColumn(view, row, 1, text);
        FormatUnsigned(module.modBaseSize, text);
        SetModuleColumn(view, row, 2, text);
    }
}

static void ShowProcessDetails(HWND dialog, int index)
{
    if (index < 0 || index >= ProcessCount)
        return;
    const PROCESSENTRY32& process = Processes[index];
    DWORD pid = process.th32ProcessID;
    TToolHelp help(TH32CS_SNAPHEAPLIST | TH32CS_SNAPPROCESS | TH32CS_SNAPTHREAD | TH32CS_SNAPMODULE,
                   pid);
    SetHexText(dialog, IDC_PROCESS_ID, pid);
    SetHexText(dialog, IDC_PARENT_ID, process.th32ParentProcessID);
    SetNumberText(dialog, IDC_THREAD_COUNT, process.cntThreads);
    char text[64];
    FormatDecimal(process.pcPriClassBase, text);
    SetDlgItemTextA(dialog, IDC_PRIORITY, text);
    PriorityName(process.pcPriClassBase, text);
    SetDlgItemTextA(dialog, IDC_PRIORITY_NAME, text);
    SetNumberText(dialog, IDC_HEAP_COUNT, uint32_t(help.HeapCount()));
    ShowThreads(dialog, help, pid);
    ShowModules(dialog, help);
}

static int SelectedRow(HWND dialog)
{
    int index = int(SendDlgItemMessageA(dialog, IDC_PROCESSES, LB_GETCURSEL, 0, 0));
    return index >= 0 && index < ProcessCount ? index : -1;
}

// Reads the table afresh. The process that was chosen stays chosen, with
// its details, when it is still there: the same ID under the same file.
static void Refresh(HWND dialog)
{
    int index = SelectedRow(dialog);
    PROCESSENTRY32 chosen = {};
    if (index >= 0)
        chosen = Processes[index];
    HoldListsDrawing(dialog, true);
    ReadProcesses();
    ClearDisplay(dialog);
    FillProcesses(dialog);
    if (index >= 0) {
        for (int i = 0; i < ProcessCount; ++i) {
            if (Processes[i].th32ProcessID == chosen.th32ProcessID &&
                SameExeFile(Processes[i].szExeFile, chosen.szExeFile, MAX_PATH)) {
                SendDlgItemMessageA(dialog, IDC_PROCESSES, LB_SETCURSEL, WPARAM(i), 0);
                ShowProcessDetails(dialog, i);
                break;
            }
        }
    }
    HoldListsDrawing(dialog, false);
}

// The process that holds `pid` now, from a new snapshot.
static bool FindProcess(DWORD pid, PROCESSENTRY32* out)
{
    TToolHelp help(TH32CS_SNAPPROCESS, 0);
    for (bool ok = help.ProcessFirst(out); ok; ok = help.ProcessNext(out))
        if (out->th32ProcessID == pid)
            return true;
    return false;
}

// Yes or No, No the default: an end loses whatever the program had not saved.
static bool ConfirmEnd(HWND dialog, const PROCESSENTRY32& process)
{
    char name[MAX_PATH];
    char pattern[100];
    char question[MAX_PATH + 100];
    ExeFileName(process.szExeFile, MAX_PATH, name);
    LoadUiString(ModuleInstance, IDS_ASK_END, pattern, sizeof pattern);
    FormatEndQuestion(pattern, name, question, sizeof question);
    return MessageBoxA(dialog, question, "Brindlecap",
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

// The refreshed list shows the outcome: it waits until an ended process is
// gone, at most kEndWait, and that long when the process could not be ended.
static void EndSelectedProcess(HWND dialog)
{
    int index = SelectedRow(dialog);
    if (index < 0)
        return;
    // The table may be read again while the question is open.
    PROCESSENTRY32 chosen = Processes[index];
    if (!ConfirmEnd(dialog, chosen))
        return;
    // The list may be old: the ID may belong to another program by now.
    PROCESSENTRY32 now;
    bool found = FindProcess(chosen.th32ProcessID, &now);
    switch (ChooseEndAction(chosen.th32ProcessID, GetCurrentProcessId(), chosen.szExeFile,
                            found ? now.szExeFile : nullptr, MAX_PATH)) {
    case EndHost:
        // The host's own exit saves its settings, removes its icon and
        // unloads this library, once this handler has returned.
        PostMessageA(HostWindow, WM_CLOSE, 0, 0);
        return;
    case EndNothing:
        break;
    case EndProcess: {
        bool waited = false;
        HANDLE process = OpenProcess(kAllAccess, FALSE, chosen.th32ProcessID);
        if (process) {
            if (TerminateProcess(process, 0))
                waited = WaitForSingleObject(process, kEndWait) != WAIT_FAILED;
            CloseHandle(process);
        }
        if (!waited)
            Sleep(kEndWait);
        break;
    }
    }
    SendMessageA(dialog, WM_COMMAND, IDC_REFRESH, 0);
}

static bool EnableDebugPrivilege(bool enable)
{
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token))
        return false;
    TOKEN_PRIVILEGES privileges = {};
    bool result = false;
    // Without the privilege's identifier there is nothing to adjust.
    if (LookupPrivilegeValueA(nullptr, "SeDebugPrivilege", &privileges.Privileges[0].Luid)) {
        privileges.PrivilegeCount = 1;
        // 0 turns it off; 0x80000000 would only mark it as used.
        privileges.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
        AdjustTokenPrivileges(token, FALSE, &privileges, sizeof privileges, nullptr, nullptr);
        result = GetLastError() == 0;
    }
    CloseHandle(token);
    return result;
}

void ModuleInitDialog(HWND dialog)
{
    EnableDebugPrivilege(true);
    AddModuleColumns(dialog);
    ReadProcesses();
    CenterWindow(dialog);
    FillProcesses(dialog);
}

void ModuleCommand(HWND dialog, WPARAM wParam, LPARAM)
{
    switch (LOWORD(wParam)) {
    case IDC_PROCESSES:
        if (HIWORD(wParam) == LBN_SELCHANGE) {
            HoldListsDrawing(dialog, true, true);
            ShowProcessDetails(dialog,
                               int(SendDlgItemMessageA(dialog, IDC_PROCESSES, LB_GETCURSEL, 0, 0)));
            HoldListsDrawing(dialog, false, true);
        }
        break;
    case IDC_REFRESH:
        Refresh(dialog);
        break;
    case IDC_END_PROCESS:
        EndSelectedProcess(dialog);
        break;
    case IDC_EXIT:
        DestroyWindow(dialog);
        break;
    }
}

void ModuleDestroy(HWND)
{
    EnableDebugPrivilege(false);
    FreeProcesses();
}

void ModuleUnload() { FreeProcesses(); }
