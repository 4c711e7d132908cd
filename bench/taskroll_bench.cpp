// The process list against bare Tool Help walks of the same snapshots, in
// one process, rounds alternating: reading and listing the processes with
// 100 extra processes running, and the details of this process once it has
// loaded many modules. The shipped Taskroll.dll is driven through its dialog.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <vector>

namespace {

const int kExtraProcesses = 100;
const int kRounds = 61;

typedef void(__stdcall* TInit)(HWND, int32_t, const char*);
typedef HWND(__stdcall* TExecute)();

double Now()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return double(counter.QuadPart) / double(frequency.QuadPart);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The walk that ReadProcesses makes, and nothing else.
int BareProcessWalk()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL ok = Process32First(snapshot, &entry); ok; ok = Process32Next(snapshot, &entry)) {
        ++count;
        entry.dwSize = sizeof entry;
    }
    CloseHandle(snapshot);
    return count;
}

// The snapshot and the walks that ShowProcessDetails makes.
int BareDetailWalk(DWORD pid)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(
        TH32CS_SNAPHEAPLIST | TH32CS_SNAPPROCESS | TH32CS_SNAPTHREAD | TH32CS_SNAPMODULE, pid);
    int count = 0;
    HEAPLIST32 heap;
    heap.dwSize = sizeof heap;
    for (BOOL ok = Heap32ListFirst(snapshot, &heap); ok; ok = Heap32ListNext(snapshot, &heap))
        ++count;
    THREADENTRY32 thread;
    thread.dwSize = sizeof thread;
    for (BOOL ok = Thread32First(snapshot, &thread); ok; ok = Thread32Next(snapshot, &thread))
        count += thread.th32OwnerProcessID == pid;
    MODULEENTRY32 module;
    module.dwSize = sizeof module;
    for (BOOL ok = Module32First(snapshot, &module); ok; ok = Module32Next(snapshot, &module))
        ++count;
    CloseHandle(snapshot);
    return count;
}

// Medians of alternating rounds, so that neither side meets a warmer system.
template <class TModule, class TBare> void Compare(const char* what, TModule module, TBare bare)
{
    std::vector<double> moduleTimes, bareTimes;
    for (int round = 0; round < kRounds; ++round) {
        // Each side goes first in every other round.
        for (int side = 0; side < 2; ++side) {
            bool moduleNow = (side == 0) == (round % 2 == 0);
            double start = Now();
            if (moduleNow)
                module();
            else
                bare();
            (moduleNow ? moduleTimes : bareTimes).push_back(Now() - start);
        }
    }
    // The machine is shared: each round's pair meets the same load, so the
    // median of the rounds' ratios is the steadiest figure.
    std::vector<double> ratios;
    for (size_t i = 0; i < moduleTimes.size(); ++i)
        ratios.push_back(moduleTimes[i] / bareTimes[i]);
    printf("%s\n  medians: module %7.2f ms, bare walk %7.2f ms; median ratio %.3f (goal <= 1.2)\n",
           what, Median(moduleTimes) * 1000, Median(bareTimes) * 1000, Median(ratios));
}

std::vector<PROCESS_INFORMATION> StartIdleProcesses()
{
    char program[MAX_PATH], commandLine[MAX_PATH + 40];
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    snprintf(commandLine, sizeof commandLine, "\"%s\" --idle %lu", program, GetCurrentProcessId());
    std::vector<PROCESS_INFORMATION> children;
    for (int i = 0; i < kExtraProcesses; ++i) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION child;
        if (!CreateProcessA(program, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &child))
            break;
        children.push_back(child);
    }
    return children;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 2 && strcmp(argv[1], "--idle") == 0) {
        HANDLE parent = OpenProcess(SYNCHRONIZE, FALSE, strtoul(argv[2], nullptr, 10));
        if (parent)
            WaitForSingleObject(parent, 600000);
        return 0;
    }
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    *strrchr(path, '\\') = 0;
    lstrcatA(path, "\\..\\bin\\Taskroll.dll");
    HMODULE library = LoadLibraryA(path);
    if (!library) {
        printf("cannot load %s\n", path);
        return 1;
    }
    TInit init = TInit(reinterpret_cast<void*>(GetProcAddress(library, "Init")));
    TExecute execute = TExecute(reinterpret_cast<void*>(GetProcAddress(library, "Execute")));
    HWND host = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    init(host, 0, "C:\\");

    std::vector<PROCESS_INFORMATION> children = StartIdleProcesses();
    HWND dialog = execute();
    if (!dialog) {
        printf("no dialog\n");
        return 1;
    }
    int processes = BareProcessWalk();
    char what[96];
    auto refresh = [&] { SendMessageA(dialog, WM_COMMAND, 500, 0); };
    auto walk = [] { BareProcessWalk(); };
    snprintf(what, sizeof what, "Refresh, %d processes (%d extra), dialog shown", processes,
             int(children.size()));
    Compare(what, refresh, walk);
    // Without the system's drawing: what the module itself adds to the walk.
    ShowWindow(dialog, SW_HIDE);
    snprintf(what, sizeof what, "Refresh, %d processes (%d extra), dialog hidden", processes,
             int(children.size()));
    Compare(what, refresh, walk);
    ShowWindow(dialog, SW_SHOW);

    // Many modules in this process, then its row selected again and again.
    const char* libraries[] = {
        "comdlg32.dll", "shell32.dll", "ole32.dll",    "oleaut32.dll", "ws2_32.dll",
        "wininet.dll",  "urlmon.dll",  "crypt32.dll",  "setupapi.dll", "winmm.dll",
        "shlwapi.dll",  "version.dll", "winspool.drv", "imm32.dll",    "usp10.dll",
        "riched20.dll", "dbghelp.dll", "psapi.dll",    "iphlpapi.dll", "netapi32.dll",
        "secur32.dll",  "rpcrt4.dll",  "wintrust.dll", "cabinet.dll",  "msi.dll",
        "mpr.dll",      "wldap32.dll", "dnsapi.dll",   "msacm32.dll",  "avifil32.dll",
        "msvfw32.dll",  "hlink.dll",   "oledlg.dll",   "olepro32.dll", "mlang.dll",
        "d3d9.dll",     "ddraw.dll",   "dsound.dll",   "dinput.dll",   "opengl32.dll",
    };
    for (const char* name : libraries)
        LoadLibraryA(name);
    SendMessageA(dialog, WM_COMMAND, 500, 0);
    DWORD self = GetCurrentProcessId();
    int row = -1;
    for (int i = 0, n = int(SendDlgItemMessageA(dialog, 300, LB_GETCOUNT, 0, 0)); i < n; ++i) {
        SendDlgItemMessageA(dialog, 300, LB_SETCURSEL, i, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(300, LBN_SELCHANGE), 0);
        char text[16] = "";
        GetDlgItemTextA(dialog, 400, text, sizeof text);
        if (strtoul(text, nullptr, 16) == self) {
            row = i;
            break;
        }
    }
    int modules = int(SendDlgItemMessageA(dialog, 301, LVM_GETITEMCOUNT, 0, 0));
    auto details = [&] { SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(300, LBN_SELCHANGE), 0); };
    auto detailWalk = [&] { BareDetailWalk(self); };
    if (row >= 0) {
        snprintf(what, sizeof what, "Details of a process with %d modules, dialog shown", modules);
        Compare(what, details, detailWalk);
        ShowWindow(dialog, SW_HIDE);
        snprintf(what, sizeof what, "Details of a process with %d modules, dialog hidden", modules);
        Compare(what, details, detailWalk);
    } else {
        printf("this process is not in the list\n");
    }

    DestroyWindow(dialog);
    DestroyWindow(host);
    FreeLibrary(library);
    for (PROCESS_INFORMATION& child : children) {
        TerminateProcess(child.hProcess, 0);
        WaitForSingleObject(child.hProcess, 10000);
        CloseHandle(child.hProcess);
        CloseHandle(child.hThread);
    }
    return row >= 0 ? 0 : 1;
}
