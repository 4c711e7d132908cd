// The tray mode's monitor seen through its log: with little free memory a
// critical cleaning and then the automatic one at the 62nd tick, and no
// other within the minute after; and an exit in the middle of a cleaning. Runs under
// its own ctest entry (low_memory.sh), which gives this driver and the
// program it starts a /proc/meminfo of ours.
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "../win32/check.h"
#include "probe.h"
#include "sandbox.h"

namespace {

// Total and free MB as the program reads them (GlobalMemoryStatusEx, which
// the headers hide below Windows 2000).
bool ReadMemory(long* totalMB, long* freeMB)
{
    struct {
        DWORD length, load;
        DWORDLONG totalPhys, availPhys, rest[5];
    } m = {sizeof m, 0, 0, 0, {}};
    typedef BOOL(WINAPI * TQuery)(void*);
    TQuery query =
        (TQuery)(void*)GetProcAddress(GetModuleHandleA("kernel32.dll"), "GlobalMemoryStatusEx");
    bool ok = query && query(&m);
    *totalMB = long(m.totalPhys >> 20), *freeMB = long(m.availPhys >> 20);
    return ok;
}

// "TAG amount" of Round(total * percent / 100), halves to even.
std::string Request(const char* tag, long totalMB, long percent)
{
    long n = totalMB * percent, q = n / 100, r = n % 100;
    return std::string(tag) + " " + std::to_string(r > 50 || (r == 50 && (q & 1)) ? q + 1 : q);
}

// "TAG amount" of each whole line "... <amount> Мб #<tag>" of the log.
std::vector<std::string> Requests(const char* path)
{
    BYTE bytes[4096];
    int n = ReadBytes(path, bytes, sizeof bytes);
    std::string log(reinterpret_cast<char*>(bytes), n > 0 ? n : 0);
    std::vector<std::string> out;
    for (size_t start = 0, end; (end = log.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
        std::string line = log.substr(start, end - start);
        size_t hash = line.rfind(" #"), unit = line.rfind(' ', hash - 1);
        size_t amount = line.rfind(' ', unit - 1) + 1;
        out.push_back(line.substr(hash + 2) + " " + line.substr(amount, unit - amount));
    }
    return out;
}

} // namespace

CHECK_CASE(LowMemoryTrayModeCleansCriticallyThenAutomaticallyAfterAMinute)
{
    char flag[8];
    if (!GetEnvironmentVariableA("BRINDLECAP_LOW_MEMORY", flag, sizeof flag)) {
        printf("  runs under its own ctest entry, with a private /proc/meminfo\n");
        return;
    }
    long total, freeMB;
    CHECK(ReadMemory(&total, &freeMB));
    printf("  memory as the program reads it: %ld MB, %ld MB free\n", total, freeMB);
    CHECK(total > 0 && freeMB * 100 < total * 45); // used above the 50 % set below

    TSandbox sandbox;
    const char* program = sandbox.InstallProgram();
    CHECK(program);
    if (!program)
        return;
    // Every minute 2 %; above 50 % used 1 %; a limit no load reaches, so a
    // busy machine cannot hold the critical cleaning back; logging on; the
    // load drawn as a number every tick.
    BYTE settings[23];
    memcpy(settings, kDefaultSettingsFile, sizeof settings);
    const BYTE changes[][2] = {{0, 1}, {4, 2}, {5, 50}, {6, 1}, {7, 255}, {8, 1}, {9, 2}};
    for (auto& c : changes)
        settings[c[0]] = c[1];
    char ini[MAX_PATH], log[MAX_PATH];
    FilePath(program, "Brindlecap.ini", ini);
    FilePath(program, "Brindlecap.log", log);
    CHECK(WriteBytes(ini, settings, sizeof settings));

    DWORD started = GetTickCount();
    TChild* child = sandbox.Start(program, sandbox.NewFolder(), "");
    HWND window = child ? WaitForMainWindow(child) : nullptr;
    CHECK(window);
    if (!window)
        return;
    std::vector<std::string> lines;
    while (lines.size() < 2 && GetTickCount() - started < 180000 &&
           WaitForSingleObject(child->process, 500) == WAIT_TIMEOUT)
        lines = Requests(log);
    // Nothing is watched in the first minute.
    DWORD first = GetTickCount();
    CHECK(first - started >= 60000);
    CHECK_EQ(2, lines.size());
    if (lines.size() == 2) {
        CHECK_STR(Request("CRITICAL", total, 1).c_str(), lines[0].c_str());
        CHECK_STR(Request("AUTO", total, 2).c_str(), lines[1].c_str());
    }
    // Memory stays short, yet no other critical cleaning (nor anything
    // else) follows within the minute.
    while (GetTickCount() - first < 57000 && lines.size() == 2 &&
           WaitForSingleObject(child->process, 500) == WAIT_TIMEOUT)
        lines = Requests(log);
    CHECK_EQ(2, lines.size());
    CHECK(PostMessageA(window, WM_CLOSE, 0, 0));
    ExpectEndsWithZero(sandbox, child);
    ExpectFileBytes(ini, settings, sizeof settings);
}
