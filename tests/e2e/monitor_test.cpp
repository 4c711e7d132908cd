// The monitor of the resident tray mode, seen from outside through its log:
// with little free memory, a critical cleaning and then the automatic one
// at the 62nd tick. Runs under its own ctest entry, which gives this driver
// and the program it starts a /proc/meminfo of ours (a private mount).
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "../win32/check.h"
#include "probe.h"
#include "sandbox.h"

namespace {

// What this process reads, as the program will: GlobalMemoryStatusEx,
// which the headers hide below Windows 2000.
struct TMemoryEx {
    DWORD length, load;
    DWORDLONG totalPhys, availPhys, totalPage, availPage, totalVirtual, availVirtual, extended;
};

bool ReadMemory(TMemoryEx* m)
{
    typedef BOOL(WINAPI * TQuery)(TMemoryEx*);
    TQuery query =
        (TQuery)(void*)GetProcAddress(GetModuleHandleA("kernel32.dll"), "GlobalMemoryStatusEx");
    m->length = sizeof *m;
    return query && query(m);
}

// Round(total * percent / 100), halves to even.
long PercentOf(long totalMB, long percent)
{
    long n = totalMB * percent, q = n / 100, r = n % 100;
    return r > 50 || (r == 50 && (q & 1)) ? q + 1 : q;
}

// "TAG amount" for each whole line of the log.
std::vector<std::string> Requests(const char* path)
{
    std::vector<std::string> out;
    BYTE bytes[4096];
    int n = ReadBytes(path, bytes, sizeof bytes - 1);
    std::string log(reinterpret_cast<char*>(bytes), n > 0 ? n : 0);
    size_t start = 0;
    for (size_t end; (end = log.find("\r\n", start)) != std::string::npos; start = end + 2) {
        // "... Запрос  <amount> Мб #<tag>": the amount two words before the tag.
        std::vector<std::string> words;
        std::string line = log.substr(start, end - start);
        for (size_t from = 0, space; from <= line.size(); from = space + 1) {
            space = line.find(' ', from);
            if (space == std::string::npos)
                space = line.size();
            words.push_back(line.substr(from, space - from));
        }
        std::string tag = words.back();
        std::string amount = words.size() >= 3 ? words[words.size() - 3] : "";
        out.push_back((tag.size() > 1 ? tag.substr(1) : tag) + " " + amount);
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
    TMemoryEx memory;
    CHECK(ReadMemory(&memory));
    long total = long(memory.totalPhys >> 20), freeMB = long(memory.availPhys >> 20);
    printf("  memory as the program reads it: %ld MB, %ld MB free\n", total, freeMB);
    // Used above the threshold of 50 %, or the case proves nothing.
    CHECK(total > 0 && freeMB * 100 < total * 45);

    TSandbox sandbox;
    const char* program = sandbox.InstallProgram();
    const char* work = sandbox.NewFolder();
    CHECK(program && work);
    if (!program || !work)
        return;
    BYTE settings[23];
    memcpy(settings, kDefaultSettingsFile, sizeof settings);
    settings[0] = 1;   // AutoCleanInterval: 1 minute
    settings[1] = 0;   //
    settings[4] = 2;   // AutoCleanPercent
    settings[5] = 50;  // CriticalLoadPercent
    settings[6] = 1;   // CriticalCleanPercent
    settings[7] = 255; // CpuLoadLimit: a busy machine still lets it pass
    settings[8] = 1;   // LogEnabled
    settings[9] = 2;   // TrayIconMode: the load as a number, drawn every tick
    char ini[MAX_PATH], log[MAX_PATH];
    FilePath(program, "Brindlecap.ini", ini);
    FilePath(program, "Brindlecap.log", log);
    CHECK(WriteBytes(ini, settings, sizeof settings));

    DWORD started = GetTickCount();
    TChild* child = sandbox.Start(program, work, "");
    HWND window = child ? WaitForMainWindow(child) : nullptr;
    CHECK(window);
    if (!window)
        return;
    // Both lines come together at tick 62; allow a slow machine its time.
    std::vector<std::string> lines;
    while (lines.size() < 2 && GetTickCount() - started < 180000 &&
           WaitForSingleObject(child->process, 500) == WAIT_TIMEOUT)
        lines = Requests(log);
    DWORD elapsed = GetTickCount() - started;
    printf("  log lines after %lu ms\n", elapsed);
    CHECK_EQ(2, lines.size());
    // Nothing is watched in the first minute.
    CHECK(elapsed >= 60000);
    if (lines.size() == 2) {
        CHECK_STR(("CRITICAL " + std::to_string(PercentOf(total, 1))).c_str(), lines[0].c_str());
        CHECK_STR(("AUTO " + std::to_string(PercentOf(total, 2))).c_str(), lines[1].c_str());
    }

    CHECK(PostMessageA(window, WM_CLOSE, 0, 0));
    ExpectEndsWithZero(sandbox, child);
    ExpectFileBytes(ini, settings, sizeof settings);
}
