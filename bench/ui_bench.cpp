// The host's user interface under Wine: how long the tray mode takes until
// it waits for input with its start-up done (the module scan included),
// alone and beside 500 ordinary libraries, against an empty program with a
// hidden window, started alternately in one run; the processor time of opening
// MAIN_DIALOG; and INFO_DIALOG's live refresh per second against the same
// dialog with monitoring off. Another process's times read 0 under Wine 8,
// so processor time comes from Linux (Z:\proc\<pid>\task\*\schedstat).
// Usage: ui_bench PATH-OF-Brindlecap.exe PATH-OF-empty_window.exe
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "libraries.h"
#include "linuxproc.h"

namespace {

// The main thread is the process's first Linux task.
unsigned long long MainThreadNs(long pid)
{
    std::string p = std::to_string(pid);
    return strtoull(ReadText("Z:\\proc\\" + p + "\\task\\" + p + "\\schedstat").c_str(), nullptr,
                    10);
}

double WallMs()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

struct TWindowOf {
    DWORD process;
    const char* className;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context)
{
    TWindowOf& query = *reinterpret_cast<TWindowOf*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[64];
    if (owner == query.process && GetClassNameA(window, name, sizeof name) &&
        !strcmp(name, query.className)) {
        query.found = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForWindow(DWORD process, const char* className)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < 30000;) {
        TWindowOf query = {process, className, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&query));
        if (query.found)
            return query.found;
        Sleep(1);
    }
    return nullptr;
}

struct TRun {
    PROCESS_INFORMATION info;
    HWND window;
};

bool Start(const std::string& program, const char* arguments, TRun* run)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string line = "\"" + program + "\" " + arguments;
    return CreateProcessA(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &run->info) != FALSE;
}

void End(TRun* run)
{
    if (run->window)
        PostMessageA(run->window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(run->info.hProcess, 20000) != WAIT_OBJECT_0)
        TerminateProcess(run->info.hProcess, 1);
    CloseHandle(run->info.hProcess);
    CloseHandle(run->info.hThread);
}

// Milliseconds from the start until the program first waits for input and
// then answers a message sent to its window. A message alone is answered
// by the host inside its tray icon's hand-over, before the scan has begun.
double StartToIdleMs(const std::string& program, const char* arguments, const char* className)
{
    TRun run = {};
    double start = WallMs();
    if (!Start(program, arguments, &run))
        return -1;
    WaitForInputIdle(run.info.hProcess, 30000);
    run.window = WaitForWindow(run.info.dwProcessId, className);
    DWORD_PTR answer;
    bool answered =
        run.window && SendMessageTimeoutA(run.window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &answer);
    double ms = WallMs() - start;
    End(&run);
    return answered ? ms : -1;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void WriteSettings(const std::string& folder, bool monitoring)
{
    // The defaults, no automatic cleaning, no log; monitoring as asked.
    BYTE settings[23] = {0, 0, 0x30, 0,    0x2D, 100, 0x19, 0x50, 0, 0, 1, 0,
                         0, 0, 0,    0xF4, 1,    0,   0,    0,    0, 0, 0};
    settings[17] = monitoring ? 1 : 0;
    HANDLE ini = CreateFileA((folder + "Brindlecap.ini").c_str(), GENERIC_WRITE, 0, nullptr,
                             CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(ini, settings, sizeof settings, &written, nullptr);
    CloseHandle(ini);
}

struct THost {
    TRun run;
    long pid;
};

bool StartHidden(const std::string& program, THost* host)
{
    if (!Start(program, "S", &host->run))
        return false;
    host->run.window = WaitForWindow(host->run.info.dwProcessId, "Brindlecap");
    for (int i = 0; i < 200 && !(host->pid = UnixProcess(program)); ++i)
        Sleep(10);
    return host->run.window && host->pid;
}

// Processor time of the main thread for one opening of MAIN_DIALOG, over
// `rounds` openings: the hot key, then a second for the painting to end.
double MainDialogOpeningMs(const std::string& program, int rounds)
{
    THost host = {};
    if (!StartHidden(program, &host))
        return -1;
    std::vector<double> ms;
    for (int i = 0; i < rounds; ++i) {
        unsigned long long before = MainThreadNs(host.pid);
        DWORD_PTR answer;
        SendMessageTimeoutA(host.run.window, WM_HOTKEY, 400, 0, SMTO_NORMAL, 30000, &answer);
        Sleep(1000);
        ms.push_back(double(MainThreadNs(host.pid) - before) / 1e6);
        HWND dialog = WaitForWindow(host.run.info.dwProcessId, "#32770");
        PostMessageA(dialog, WM_COMMAND, 604, 0); // "Свернуть"
        for (int w = 0; w < 500 && IsWindow(dialog); ++w)
            Sleep(10);
    }
    PostMessageA(host.run.window, WM_COMMAND, 201, 0);
    host.run.window = nullptr;
    End(&host.run);
    return Median(ms);
}

// Processor time per second of the whole process with INFO_DIALOG open.
double InfoDialogMsPerSecond(const std::string& folder, const std::string& program, bool monitoring,
                             int seconds)
{
    WriteSettings(folder, monitoring);
    THost host = {};
    if (!StartHidden(program, &host))
        return -1;
    DWORD_PTR answer;
    SendMessageTimeoutA(host.run.window, WM_HOTKEY, 402, 0, SMTO_NORMAL, 30000, &answer);
    Sleep(2000); // past the opening
    unsigned long long before = ProcessorNs(host.pid);
    double wall = WallMs();
    Sleep(DWORD(seconds) * 1000);
    double ms = double(ProcessorNs(host.pid) - before) / 1e6 / ((WallMs() - wall) / 1000.0);
    PostMessageA(host.run.window, WM_COMMAND, 201, 0);
    host.run.window = nullptr;
    End(&host.run);
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        printf("usage: ui_bench Brindlecap.exe empty_window.exe\n");
        return 2;
    }
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder =
        std::string(temp) + "brindlecap-uibench-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string host = folder + "Brindlecap.exe", empty = folder + "empty_window.exe";
    // The same host beside the system's libraries, as unpacked into a
    // folder of tools; a folder of its own, for the scan walks the folders
    // below the program's.
    std::string crowd = std::string(temp) + "brindlecap-uibench-crowd-" +
                        std::to_string(GetCurrentProcessId()) + "\\";
    std::string crowdHost = crowd + "Brindlecap.exe";
    CreateDirectoryA(crowd.c_str(), nullptr);
    int libraries = PlaceSystemLibraries(crowd, 500);
    if (!CopyFileA(WindowsPath(argv[1]).c_str(), host.c_str(), FALSE) ||
        !CopyFileA(WindowsPath(argv[1]).c_str(), crowdHost.c_str(), FALSE) ||
        !CopyFileA(WindowsPath(argv[2]).c_str(), empty.c_str(), FALSE)) {
        printf("cannot copy the programs into %s\n", folder.c_str());
        return 1;
    }
    WriteSettings(folder, false);
    WriteSettings(crowd, false);

    // A third argument names the window class of a stand-in for the host,
    // to find what its start-up costs; only the start-up is then measured.
    const char* hostClass = argc > 3 ? argv[3] : "Brindlecap";
    const int runs = 21;
    std::vector<double> hostMs, emptyMs, trayMs, crowdMs;
    for (int i = 0; i < runs; ++i) {
        hostMs.push_back(StartToIdleMs(host, "", hostClass));
        if (argc <= 3)
            crowdMs.push_back(StartToIdleMs(crowdHost, "", hostClass));
        emptyMs.push_back(StartToIdleMs(empty, "", "BrindlecapEmpty"));
        trayMs.push_back(StartToIdleMs(empty, "tray", "BrindlecapEmpty"));
    }
    // The machine's other work only ever adds time: the quickest start is
    // the program's own cost, the median what a user meets.
    double h = Median(hostMs), e = Median(emptyMs);
    double hMin = *std::min_element(hostMs.begin(), hostMs.end());
    double eMin = *std::min_element(emptyMs.begin(), emptyMs.end());
    printf("start until input idle and an answer, %d alternate starts (median, quickest):\n", runs);
    printf("%-46s %8.1f ms %8.1f ms\n", "Brindlecap.exe, tray mode", h, hMin);
    printf("%-46s %8.1f ms %8.1f ms\n", "empty program with a hidden window", e, eMin);
    printf("%-46s %8.2f    %8.2f    (goal <= 1.3)\n", "Brindlecap / empty", e > 0 ? h / e : 0.0,
           eMin > 0 ? hMin / eMin : 0.0);
    // The tray mode cannot skip the shell's icon; this shows what is left.
    double t = Median(trayMs), tMin = *std::min_element(trayMs.begin(), trayMs.end());
    printf("%-46s %8.1f ms %8.1f ms\n", "empty program, hidden window and a tray icon", t, tMin);
    printf("%-46s %8.2f    %8.2f\n", "Brindlecap / empty with a tray icon", t > 0 ? h / t : 0.0,
           tMin > 0 ? hMin / tMin : 0.0);
    if (argc > 3) {
        RemoveTree(crowd);
        RemoveTree(folder);
        return 0;
    }
    double c = Median(crowdMs), cMin = *std::min_element(crowdMs.begin(), crowdMs.end());
    char crowdRow[64];
    snprintf(crowdRow, sizeof crowdRow, "Brindlecap.exe beside %d libraries", libraries);
    printf("%-46s %8.1f ms %8.1f ms\n", crowdRow, c, cMin);
    printf("%-46s %8.2f    %8.2f\n", "Brindlecap beside them / empty", e > 0 ? c / e : 0.0,
           eMin > 0 ? cMin / eMin : 0.0);

    printf("%-46s %8.2f ms (main thread, median of 5)\n", "one MAIN_DIALOG opening",
           MainDialogOpeningMs(host, 5));
    double live = InfoDialogMsPerSecond(folder, host, true, 10);
    double still = InfoDialogMsPerSecond(folder, host, false, 10);
    printf("%-46s %8.2f ms a second\n", "INFO_DIALOG open, monitoring (500 ms)", live);
    printf("%-46s %8.2f ms a second\n", "INFO_DIALOG open, monitoring off", still);
    printf("%-46s %8.2f ms a second (%.3f %% of a core)\n", "live refresh alone", live - still,
           (live - still) / 10.0);

    RemoveTree(crowd);
    RemoveTree(folder);
    return 0;
}
